// The global records of the gl_main module, the dialog record's clearing and
// the delete confirmation.
#include <cstring>

#include "editor/gl_main_stubs.h"
#include "ui/catalog_text.h"
#include "ui/gl_main_ui.h"

DtbGlMainMainwindowInfo dtb_gl_main_mainwindow;
DtbGlMainDialogInfo dtb_gl_main_dialog;
DtbMessageRecord dtb_gl_main_delete_confirm;

int dtbGlMainMainwindowInfo_clear(DtbGlMainMainwindowInfoPtr instance) {
  std::memset(instance, 0, sizeof *instance);
  return 0;
}

int dtbGlMainDialogInfo_clear(DtbGlMainDialogInfoPtr instance) {
  std::memset(instance, 0, sizeof *instance);
  return 0;
}

int dtb_gl_main_delete_confirm_initialize(DtbMessageRecord *record) {
  if (record->initialized) return 0;
  record->initialized = True;
  record->dialog_type = XmDIALOG_QUESTION;
  // The strings live as long as the program: the record is shown again and again.
  record->title = catalog_xmstring(2, "\xbb\xe8\xc1\xa6 \xc8\xae\xc0\xce");  // 삭제 확인
  record->message = catalog_xmstring(3, "\xc8\xae\xbd\xc7\xc7\xd5\xb4\xcf\xb1\xee?");  // 확실합니까?
  record->action1_label = catalog_xmstring(4, "\xbf\xb9");  // 예
  record->action1_callback = nullptr;
  record->action2_label = catalog_xmstring(5, "\xbe\xc6\xb4\xcf\xbf\xc0");  // 아니오
  record->action2_callback = gl_main_DeleteConfirm_CB1;
  record->action3_label = nullptr;
  record->action3_callback = nullptr;
  record->show_cancel = False;
  record->cancel_callback = nullptr;
  record->show_help = True;
  record->help.help_text = nullptr;
  record->help.help_volume = const_cast<char *>("");
  record->help.help_location = const_cast<char *>("");
  record->default_button = DTB_DEFAULT_ACTION1;
  return 0;
}
