// Find and the footer messages of the main window, and the focus hints.
#include "editor/hanja_ui_util.h"

#include <Xm/List.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include <memory>
#include <string>

#include "editor/builtin_text.h"
#include "editor/hanja_lookup.h"
#include "ui/gl_main_ui.h"
#include "ui/gl_main_widgets.h"

namespace {

// 한글 스트링을 입력하십시오
constexpr const char kEnterHangul[] =
    "\xc7\xd1\xb1\xdb \xbd\xba\xc6\xae\xb8\xb5\xc0\xbb \xc0\xd4\xb7\xc2\xc7\xcf\xbd\xca\xbd\xc3\xbf\xc0";
// 한자 스트링을 입력하십시오
constexpr const char kEnterHanja[] =
    "\xc7\xd1\xc0\xda \xbd\xba\xc6\xae\xb8\xb5\xc0\xbb \xc0\xd4\xb7\xc2\xc7\xcf\xbd\xca\xbd\xc3\xbf\xc0";
constexpr const char kBlank[] = " ";

struct XtFreeDeleter {
  void operator()(char *p) const { XtFree(p); }
};

// Put each word at the top of the list, so the list reads bottom-up in store order.
void add_on_top(Widget list, const std::vector<std::string> &words) {
  for (const std::string &word : words) {
    XmString item = XmStringCreateLocalized(const_cast<char *>(word.c_str()));
    XmListAddItem(list, item, 1);
    XmStringFree(item);
  }
}

void focus_on_mapEH(Widget shell, XtPointer, XEvent *event, Boolean *) {
  if (event->type != MapNotify) return;
  XtRemoveEventHandler(shell, StructureNotifyMask, False, focus_on_mapEH, nullptr);
  Widget field = dtb_gl_main_mainwindow.textfield;
  if (field != nullptr) XmProcessTraversal(field, XmTRAVERSE_CURRENT);
}

}  // namespace

void display_message(Widget label, const char *text) {
  if (label == nullptr || text == nullptr) return;
  XmString s = XmStringCreateLocalized(const_cast<char *>(text));
  XtVaSetValues(label, XmNlabelString, s, nullptr);
  XmStringFree(s);
  // A report is read whole: the window widens rather than cut both its ends.
  gl_main::widen_to_show(label);
}

void start_in_reading_field() {
  Widget field = dtb_gl_main_mainwindow.textfield;
  // Where the keyboard goes when the shell first gets it: each manager on the
  // way down names the next one.
  for (Widget w = field; w != nullptr && XtParent(w) != nullptr && !XtIsShell(XtParent(w)); w = XtParent(w)) {
    XtVaSetValues(XtParent(w), XmNinitialFocus, w, nullptr);
  }
  // With an input-method server (nabi) Motif does not act on the window's
  // first FocusIn, so the field also takes the focus once the window is mapped.
  Widget shell = dtb_gl_main_mainwindow.mainwindow;
  if (shell != nullptr) XtAddEventHandler(shell, StructureNotifyMask, False, focus_on_mapEH, nullptr);
}

void focus_reading_field() {
  Widget field = dtb_gl_main_mainwindow.textfield;
  if (field == nullptr) return;
  XmProcessTraversal(field, XmTRAVERSE_CURRENT);
  // Selected, the reading is replaced by the next one typed.
  XmTextFieldSetSelection(field, 0, XmTextFieldGetLastPosition(field), XtLastTimestampProcessed(XtDisplay(field)));
}

void find_button_proc() {
  DtbGlMainMainwindowInfo &w = dtb_gl_main_mainwindow;
  if (w.textfield == nullptr || w.usrhjd_list == nullptr || w.syshjd_list == nullptr) return;

  std::unique_ptr<char, XtFreeDeleter> reading(XmTextFieldGetString(w.textfield));
  // Before the report: the field's focus hint must not replace it.
  focus_reading_field();
  XmListDeleteAllItems(w.usrhjd_list);
  XmListDeleteAllItems(w.syshjd_list);

  FoundWords found = look_up_reading(reading.get());
  add_on_top(w.syshjd_list, found.system);
  add_on_top(w.usrhjd_list, found.user);

  std::string report = find_report(static_cast<int>(found.user.size()), static_cast<int>(found.system.size()));
  display_message(w.mainwindow_label, report.c_str());
}

void main_win_kor_field_focus_CB(Widget, XtPointer, XtPointer) {
  display_message(dtb_gl_main_mainwindow.mainwindow_label, builtin_text(kEnterHangul).c_str());
}

void main_win_kor_field_loose_focus_CB(Widget, XtPointer, XtPointer) {
  display_message(dtb_gl_main_mainwindow.mainwindow_label, kBlank);
}

// The dialog's hints go to the footer of the dialog built last.
void addmod_kor_field_focus_CB(Widget, XtPointer, XtPointer) {
  display_message(dtb_gl_main_dialog.dialog_label, builtin_text(kEnterHangul).c_str());
}

void addmod_kor_field_loose_focus_CB(Widget, XtPointer, XtPointer) {
  display_message(dtb_gl_main_dialog.dialog_label, kBlank);
}

void addmod_chn_field_focus_CB(Widget, XtPointer, XtPointer) {
  display_message(dtb_gl_main_dialog.dialog_label, builtin_text(kEnterHanja).c_str());
}

void addmod_chn_field_loose_focus_CB(Widget, XtPointer, XtPointer) {
  display_message(dtb_gl_main_dialog.dialog_label, kBlank);
}
