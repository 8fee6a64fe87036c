// Add, Modify and Delete on the windows: reading the fields and the user
// list, opening and closing the add/modify dialog, asking before deleting,
// and updating the list item by item. The dictionary side is hanja_edit.
#include <X11/Xlib.h>
#include <Xm/List.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/dialog_placement.h"
#include "editor/hanja_edit.h"
#include "editor/hanja_ui_util.h"
#include "ui/gl_main_ui.h"

int function = 0;

namespace {

struct XtFreeDeleter {
  void operator()(char *p) const { XtFree(p); }
};

struct XmStringDeleter {
  void operator()(XmString s) const { XmStringFree(s); }
};
using UniqueXmString = std::unique_ptr<std::remove_pointer_t<XmString>, XmStringDeleter>;

UniqueXmString make_item(const std::string &text) {
  return UniqueXmString(XmStringCreateLocalized(const_cast<char *>(text.c_str())));
}

std::string field_text(Widget field) {
  if (field == nullptr) return {};
  std::unique_ptr<char, XtFreeDeleter> text(XmTextFieldGetString(field));
  return text != nullptr ? std::string(text.get()) : std::string();
}

void set_field_text(Widget field, const std::string &text) {
  if (field != nullptr) XmTextFieldSetString(field, const_cast<char *>(text.c_str()));
}

// The text of a list item, in the running mode's encoding.
std::string item_text(XmString item) {
  char *text = nullptr;
  if (XmStringGetLtoR(item, const_cast<char *>(XmFONTLIST_DEFAULT_TAG), &text) && text != nullptr) {
    std::string result(text);
    XtFree(text);
    return result;
  }
  text = static_cast<char *>(XmStringUnparse(item, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  std::string result = text != nullptr ? text : "";
  XtFree(text);
  return result;
}

std::vector<std::string> list_texts(Widget list) {
  std::vector<std::string> texts;
  if (list == nullptr) return texts;
  XmStringTable items = nullptr;
  int count = 0;
  XtVaGetValues(list, XmNitems, &items, XmNitemCount, &count, nullptr);
  for (int i = 0; i < count; i++) texts.push_back(item_text(items[i]));
  return texts;
}

// The first selected position of the list (counting from 1), or 0.
int selected_position(Widget list) {
  int *positions = nullptr;
  int count = 0;
  if (list == nullptr || !XmListGetSelectedPos(list, &positions, &count)) return 0;
  int first = count > 0 ? positions[0] : 0;
  XtFree(reinterpret_cast<char *>(positions));
  return first;
}

// The selected entry's text without any report; false when none is selected.
bool selected_text(std::string *text) {
  Widget list = dtb_gl_main_mainwindow.usrhjd_list;
  int pos = selected_position(list);
  if (pos == 0) return false;
  XmStringTable items = nullptr;
  int count = 0;
  XtVaGetValues(list, XmNitems, &items, XmNitemCount, &count, nullptr);
  if (pos > count) return false;
  *text = item_text(items[pos - 1]);
  return true;
}

// A dialog on the screen is raised and refilled; otherwise a fresh one is built.
void open_edit_dialog(int command, const std::string &hanja) {
  DtbGlMainDialogInfo &d = dtb_gl_main_dialog;
  const bool reuse = d.initialized && d.dialog != nullptr;
  if (!reuse) dtbGlMainDialogInfo_clear(&d);
  function = command;
  if (!reuse) dtb_gl_main_dialog_initialize(&d, dtb_gl_main_mainwindow.mainwindow);

  set_field_text(d.textfield2, field_text(dtb_gl_main_mainwindow.textfield));
  set_field_text(d.textfield3, hanja);
  // The report of the previous command does not belong to the new one.
  if (reuse) display_message(d.dialog_label, " ");
  if (d.dialog_shellform != nullptr) XtManageChild(d.dialog_shellform);
  // A dialog already on the screen stays where it is (the user may have moved it).
  const DtbGlMainMainwindowInfo &w = dtb_gl_main_mainwindow;
  if (!reuse) place_dialog_beside(d.dialog, w.mainwindow, w.textfield, w.Find);
  if (reuse && XtIsRealized(d.dialog)) XRaiseWindow(XtDisplay(d.dialog), XtWindow(d.dialog));
  // The Hanja word is what is typed next, for Add and for Modify alike.
  if (d.textfield3 != nullptr) XmProcessTraversal(d.textfield3, XmTRAVERSE_CURRENT);
}

void forget_dialogCB(Widget widget, XtPointer, XtPointer) {
  if (dtb_gl_main_dialog.dialog == widget) dtbGlMainDialogInfo_clear(&dtb_gl_main_dialog);
}

}  // namespace

const char *get_selected_hanja() {
  static std::string last;
  if (!selected_text(&last)) {
    display_message(dtb_gl_main_mainwindow.mainwindow_label, select_entry_prompt().c_str());
    return nullptr;
  }
  return last.c_str();
}

void open_add_dialog() { open_edit_dialog(kFunctionAdd, std::string()); }

void open_modify_dialog() {
  const char *hanja = get_selected_hanja();
  if (hanja == nullptr) return;
  open_edit_dialog(kFunctionModify, hanja);
}

void close_edit_dialog() {
  Widget shell = dtb_gl_main_dialog.dialog;
  // Forgotten at once: until the toolkit really destroys the tree, nothing may
  // reach its fields or footer through the record.
  dtbGlMainDialogInfo_clear(&dtb_gl_main_dialog);
  if (shell != nullptr) XtDestroyWidget(shell);
}

void watch_edit_dialog(Widget dialog_shell) {
  if (dialog_shell == nullptr) return;
  // The dialog stays modeless, so that Find works while it is open; closing it
  // through the window manager destroys it as Cancel does.
  XtVaSetValues(dialog_shell, XmNdeleteResponse, XmDESTROY, nullptr);
  XtAddCallback(dialog_shell, XmNdestroyCallback, forget_dialogCB, nullptr);
}

void add_button_proc() {
  DtbGlMainDialogInfo &d = dtb_gl_main_dialog;
  DtbGlMainMainwindowInfo &w = dtb_gl_main_mainwindow;
  const std::string reading = field_text(d.textfield2);
  const std::string hanja = field_text(d.textfield3);
  const std::string main_reading = field_text(w.textfield);

  EditResult result = add_pair(reading, hanja, list_texts(w.usrhjd_list));
  if (result.status == EditStatus::changed && main_reading == reading && w.usrhjd_list != nullptr) {
    XmListAddItem(w.usrhjd_list, make_item(hanja).get(), 1);
  }
  display_message(d.dialog_label, result.report.c_str());
}

void modify_button_proc() {
  DtbGlMainDialogInfo &d = dtb_gl_main_dialog;
  DtbGlMainMainwindowInfo &w = dtb_gl_main_mainwindow;
  const std::string reading = field_text(d.textfield2);
  const std::string hanja = field_text(d.textfield3);

  std::string old_hanja;
  const bool selected = selected_text(&old_hanja);
  // The position is taken with the old word, before the store call.
  const int pos = selected ? selected_position(w.usrhjd_list) : 0;
  EditResult result = modify_pair(reading, selected ? &old_hanja : nullptr, hanja, list_texts(w.usrhjd_list));
  if (result.status == EditStatus::changed && pos > 0) {
    XmString item = make_item(hanja).release();
    // Motif's list loses (and leaks) its record of selected items when a
    // selected item is replaced: the item is deselected first and selected
    // again after, without a callback.
    XmListDeselectPos(w.usrhjd_list, pos);
    XmListReplaceItemsPos(w.usrhjd_list, &item, 1, pos);
    XmListSelectPos(w.usrhjd_list, pos, False);
    XmStringFree(item);
  }
  display_message(d.dialog_label, result.report.c_str());
}

void delete_button_proc() {
  DtbGlMainMainwindowInfo &w = dtb_gl_main_mainwindow;
  const std::string reading = field_text(w.textfield);
  std::string hanja;
  if (!selected_text(&hanja)) {
    display_message(w.mainwindow_label, select_entry_prompt().c_str());
    return;
  }
  DtbModalAnswer answer = dtb_show_modal_message(w.mainwindow, &dtb_gl_main_delete_confirm, nullptr, nullptr, nullptr);
  if (answer != DTB_MODAL_ACTION1) return;
  // The list cannot change during the modal wait; read the word again all the same.
  if (!selected_text(&hanja)) return;

  DeleteResult result = delete_pair(reading, hanja);
  if (result.status == DeleteStatus::deleted) {
    // Only the prompt is shown: the removal itself is visible in the list.
    UniqueXmString item = make_item(hanja);
    XmListDeleteItem(w.usrhjd_list, item.get());
  }
  display_message(w.mainwindow_label, result.report.c_str());
}
