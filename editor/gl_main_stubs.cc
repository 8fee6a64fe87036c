// Callbacks of the gl_main windows. They ignore their arguments (the windows'
// records are globals) and call one operation each.
#include "editor/gl_main_stubs.h"

#include <Xm/Xm.h>

#include "editor/hanja_ui_util.h"
#include "editor/help_ops.h"

void gl_main_Find_CB1(Widget, XtPointer, XtPointer) { find_button_proc(); }

void gl_main_Add_CB1(Widget, XtPointer, XtPointer) { open_add_dialog(); }
void gl_main_Modify_CB1(Widget, XtPointer, XtPointer) { open_modify_dialog(); }
void gl_main_Delete_CB1(Widget, XtPointer, XtPointer) { delete_button_proc(); }

// 도움말 > 사용법 and 정보; any help request (F1) carries its topic as client data.
void gl_main_Usage_CB1(Widget, XtPointer, XtPointer) { show_usage_help(); }
void gl_main_About_CB1(Widget, XtPointer, XtPointer) { show_about(); }
void gl_main_help_CB1(Widget widget, XtPointer topic, XtPointer) {
  show_context_help(widget, static_cast<const char *>(topic));
}

// OK does what the dialog was opened for.
void gl_main_dialog_button1_CB1(Widget, XtPointer, XtPointer) {
  if (function == kFunctionAdd) {
    add_button_proc();
  } else {
    modify_button_proc();
  }
}

void gl_main_dialog_button3_CB1(Widget, XtPointer, XtPointer) { close_edit_dialog(); }

// The dialog is left modeless (the main window's Find stays usable while it is
// open); the hook makes the window manager's close act like Cancel.
void gl_main_dialog_CB1(Widget widget, XtPointer, XtPointer) { watch_edit_dialog(widget); }

// Stored in the delete confirmation for a non-modal showing, which this program
// never uses: the modal answer decides instead.
void gl_main_DeleteConfirm_CB1(Widget, XtPointer, XtPointer) {}

namespace {
void add_focus_hints(Widget field, XtCallbackProc losing, XtCallbackProc gaining) {
  if (field == nullptr) return;
  XtAddCallback(field, XmNlosingFocusCallback, losing, nullptr);
  XtAddCallback(field, XmNfocusCallback, gaining, nullptr);
}
}  // namespace

void gl_main_textfield_CB1(Widget widget, XtPointer, XtPointer) {
  add_focus_hints(widget, main_win_kor_field_loose_focus_CB, main_win_kor_field_focus_CB);
  // Return in the field looks the reading up, as 찾기 does.
  if (widget != nullptr) XtAddCallback(widget, XmNactivateCallback, gl_main_Find_CB1, nullptr);
}

void gl_main_textfield2_CB1(Widget widget, XtPointer, XtPointer) {
  add_focus_hints(widget, addmod_kor_field_loose_focus_CB, addmod_kor_field_focus_CB);
}

void gl_main_textfield3_CB1(Widget widget, XtPointer, XtPointer) {
  add_focus_hints(widget, addmod_chn_field_loose_focus_CB, addmod_chn_field_focus_CB);
}
