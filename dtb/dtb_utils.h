// The interface-builder runtime: generic services for generated window code.
// It knows nothing of the editor or the dictionaries.
#pragma once
#include <sys/types.h>
#include <Xm/Xm.h>

// ---- Message record -------------------------------------------------------

struct DtbHelpData {
  char *help_text;
  char *help_volume;
  char *help_location;
};

// 32 bits wide; a value outside the names is valid and means no default button.
typedef enum : int {
  DTB_DEFAULT_ACTION1 = 0,
  DTB_DEFAULT_ACTION2 = 1,
  DTB_DEFAULT_ACTION3 = 2,
  DTB_DEFAULT_CANCEL = 3,
  DTB_DEFAULT_NONE = 4,
} DtbDefaultButton;

typedef enum : int {
  DTB_MODAL_NONE = 0,
  DTB_MODAL_ACTION1 = 1,
  DTB_MODAL_ACTION2 = 2,
  DTB_MODAL_ACTION3 = 3,
  DTB_MODAL_CANCEL = 4,
} DtbModalAnswer;

struct DtbMessageRecord {
  Boolean initialized;
  unsigned char dialog_type;
  XmString title;
  XmString message;
  XmString action1_label;
  XtCallbackProc action1_callback;
  XmString action2_label;
  XtCallbackProc action2_callback;
  XmString action3_label;
  XtCallbackProc action3_callback;
  Boolean show_cancel;
  XtCallbackProc cancel_callback;
  Boolean show_help;
  DtbHelpData help;
  DtbDefaultButton default_button;
};

// ---- Toplevel, command, executable directory, session --------------------

typedef Boolean (*DtbClientSessionSaveCB)(Widget, char *session_file, char ***argv, int *argc);

void dtb_save_toplevel_widget(Widget toplevel);
Widget dtb_get_toplevel_widget();
void dtb_save_command(char *argv0);
char *dtb_get_command();
char *dtb_get_exe_dir();
int determine_exe_dir(char *argv0, char *buf, int bufSize);
int determine_exe_dir_from_argv(char *argv0, char *buf, int bufSize);
int determine_exe_dir_from_path(char *argv0, char *buf, int bufSize);
Boolean path_is_executable(char *path, uid_t euid, gid_t egid);
void dtb_session_save(Widget widget, XtPointer client_data, XtPointer call_data);
DtbClientSessionSaveCB dtb_get_client_session_saveCB();
// Registers the procedure that saves the client's own state during a session
// save (null removes it); the runtime itself never registers one.
void dtb_set_client_session_saveCB(DtbClientSessionSaveCB save_cb);

// ---- Resource conversion and sash focus -----------------------------------

unsigned long dtb_cvt_resource_from_string(Widget widget, String res_type, unsigned int size_of_type,
                                           String res_str_value, unsigned long error_value);
void dtb_remove_sash_focus(Widget widget);

// ---- Message dialogs --------------------------------------------------------

Widget dtb_create_message_dlg(Widget parent, DtbMessageRecord *mbr, XmString override_msg,
                              DtbHelpData *override_help);
Widget dtb_MessageBoxGetActionButton(Widget msg_dlg, int which_btn);
void dtb_show_message(Widget parent, DtbMessageRecord *mbr, XmString override_msg,
                      DtbHelpData *override_help);
DtbModalAnswer dtb_show_modal_message(Widget parent, DtbMessageRecord *mbr, XmString override_msg,
                                      DtbHelpData *override_help, Widget *modal_dlg_out);

// ---- Help -------------------------------------------------------------------

void dtb_help_dispatch(Widget widget, XtPointer client_data, XtPointer call_data);
void dtb_more_help_dispatch(Widget widget, XtPointer client_data, XtPointer call_data);
void dtb_help_back_hdlr(Widget widget, XtPointer client_data, XtPointer call_data);
void dtb_do_onitem_help();
int dtb_show_help_volume_info(char *volume_name, char *location_id);
void dtb_call_help_callback(Widget widget, XtPointer client_data, XtPointer call_data);

#include "dtb/dtb_align.h"
#include "dtb/dtb_pixmap.h"
#include "dtb/dtb_popup.h"
#include "dtb/dtb_dnd.h"
