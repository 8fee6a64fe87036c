// Message dialogs from message records, pressed through their widgets.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <Xm/MessageB.h>
#include <Xm/PushB.h>

#include "dtb/dtb_private.h"
#include "dtb/dtb_utils.h"
#include "tests/dtb/gui_dialogs.h"
#include "tests/support/x_session.h"

using dtb_test::Button;

namespace {

// A message record together with the compound strings it points at.
struct Record {
  DtbMessageRecord r{};
  std::vector<dtb::UniqueXmString> strings;

  XmString text(const char *s) {
    strings.push_back(dtb::make_xmstring(s));
    return strings.back().get();
  }
};

// The text of a compound-string resource; the widgets hand out a copy.
std::string xm_text(Widget w, const char *resource) {
  XmString s = nullptr;
  XtVaGetValues(w, resource, &s, nullptr);
  if (s == nullptr) return "<null>";
  char *raw = static_cast<char *>(XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  std::string out = raw != nullptr ? raw : "";
  XtFree(raw);
  XmStringFree(s);
  return out;
}

bool managed(Widget msg_dlg, Button which) {
  Widget b = dtb_test::button_of(msg_dlg, which);
  return b != nullptr && XtIsManaged(b);
}

// Shows a record modally and, once the dialog is up, clicks one of its
// buttons or, with a key other than NoSymbol, types that key.
DtbModalAnswer answer_by_pressing(Record &rec, Button which, KeySym key = NoSymbol, Widget *out = nullptr,
                                  int ms = 30) {
  if (key != NoSymbol)
    dtb_test::type_later(key, ms);
  else
    dtb_test::press_later(which, ms);
  auto answered = std::make_shared<bool>(false);
  xs::after(ms + 4000, [answered] {  // input that went astray must not leave the wait hanging
    if (*answered) return;
    ADD_FAILURE() << "the input gave no answer";
    if (Widget box = dtb_test::shown_message_box()) xs::send_wm_delete(box);
  });
  DtbModalAnswer answer = dtb_show_modal_message(xs::toplevel(), &rec.r, nullptr, nullptr, out);
  *answered = true;
  return answer;
}

void close_all_dialogs() {
  while (Widget d = dtb_test::shown_message_box()) XtUnmanageChild(d);
  xs::pump_until([] { return dtb_test::live_message_boxes() == 0; });
}

Record delete_confirmation() {
  static char empty_volume[] = "", empty_location[] = "";
  Record rec;
  rec.r.initialized = True;
  rec.r.dialog_type = XmDIALOG_QUESTION;
  rec.r.title = rec.text("삭제 확인");
  rec.r.message = rec.text("정말 지우시겠습니까?");
  rec.r.action1_label = rec.text("예");
  rec.r.action2_label = rec.text("아니오");
  rec.r.show_cancel = False;
  rec.r.show_help = True;
  rec.r.help = {nullptr, empty_volume, empty_location};
  rec.r.default_button = DTB_DEFAULT_ACTION1;
  return rec;
}

struct PressCase {
  const char *what;
  bool ok, action2, action3, cancel, help;
  Button press;
  DtbModalAnswer expected;
  KeySym key = NoSymbol;  // typed instead of the click
  DtbDefaultButton default_button = DTB_DEFAULT_ACTION1;
};

void PrintTo(const PressCase &c, std::ostream *os) { *os << c.what; }

class ModalAnswer : public ::testing::TestWithParam<PressCase> {};

TEST_P(ModalAnswer, IsTheCodeOfThePressedButton) {
  const PressCase &c = GetParam();
  Record rec;
  rec.r.dialog_type = XmDIALOG_WARNING;
  rec.r.message = rec.text("message");
  if (c.ok) rec.r.action1_label = rec.text("one");
  if (c.action2) rec.r.action2_label = rec.text("two");
  if (c.action3) rec.r.action3_label = rec.text("three");
  rec.r.show_cancel = c.cancel;
  rec.r.show_help = c.help;
  rec.r.default_button = c.default_button;

  // Which buttons the dialog shows is checked while it is up.
  bool seen = false;
  xs::after(10, [&] {
    Widget d = dtb_test::shown_message_box();
    ASSERT_NE(nullptr, d);
    seen = true;
    EXPECT_EQ(c.ok, managed(d, Button::kOk));
    EXPECT_EQ(c.action2, managed(d, Button::kAction2));
    EXPECT_EQ(c.action3, managed(d, Button::kAction3));
    EXPECT_EQ(c.cancel, managed(d, Button::kCancel));
    EXPECT_EQ(c.help, managed(d, Button::kHelp));
    unsigned char style = 0;
    XtVaGetValues(d, XmNdialogStyle, &style, nullptr);
    EXPECT_EQ(XmDIALOG_FULL_APPLICATION_MODAL, style);
  });
  Widget out = xs::toplevel();
  EXPECT_EQ(c.expected, answer_by_pressing(rec, c.press, c.key, &out)) << c.what;
  EXPECT_TRUE(seen);
  // The answered dialog is on its way out: no handle to it, and its extra
  // buttons hold their ids again, not the address of the finished wait's answer.
  EXPECT_EQ(nullptr, out);
  Widget box = dtb_test::newest_popup_child("dtb_msg_dlg_popup");
  ASSERT_NE(nullptr, box);
  EXPECT_FALSE(XtIsManaged(box));
  EXPECT_EQ(dtb_test::button_of(box, Button::kAction2), dtb_MessageBoxGetActionButton(box, 1)) << c.what;
  EXPECT_EQ(dtb_test::button_of(box, Button::kAction3), dtb_MessageBoxGetActionButton(box, 2)) << c.what;
  EXPECT_TRUE(xs::pump_until([] { return dtb_test::live_message_boxes() == 0; })) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ModalAnswer,
    ::testing::Values(PressCase{"single OK", true, false, false, false, false, Button::kOk, DTB_MODAL_ACTION1},
                      PressCase{"no OK, one extra", false, true, false, false, false, Button::kAction2,
                                DTB_MODAL_ACTION2},
                      PressCase{"all, OK", true, true, true, true, true, Button::kOk, DTB_MODAL_ACTION1},
                      PressCase{"all, two", true, true, true, true, true, Button::kAction2, DTB_MODAL_ACTION2},
                      PressCase{"all, three", true, true, true, true, true, Button::kAction3, DTB_MODAL_ACTION3},
                      PressCase{"all, cancel", true, true, true, true, true, Button::kCancel, DTB_MODAL_CANCEL},
                      PressCase{"only three", false, false, true, true, false, Button::kAction3,
                                DTB_MODAL_ACTION3},
                      PressCase{"all, Return", true, true, true, true, true, Button::kOk, DTB_MODAL_ACTION1,
                                XK_Return},
                      PressCase{"all, Return on three", true, true, true, true, true, Button::kOk,
                                DTB_MODAL_ACTION3, XK_Return, DTB_DEFAULT_ACTION3},
                      PressCase{"all, Escape", true, true, true, true, true, Button::kOk, DTB_MODAL_CANCEL,
                                XK_Escape},
                      // Without Cancel, Escape answers as the last button.
                      PressCase{"no cancel, Escape", true, true, true, false, true, Button::kOk,
                                DTB_MODAL_ACTION3, XK_Escape},
                      PressCase{"single OK, Escape", true, false, false, false, false, Button::kOk,
                                DTB_MODAL_ACTION1, XK_Escape}));

TEST(DeleteConfirmation, TwoButtonsFirstDefaultHelpDoesNothingEscapeSaysNo) {
  Record rec = delete_confirmation();
  DtbMessageRecord before = rec.r;
  // A button of another window, which the wait must keep from the user.
  Widget other = XtVaAppCreateShell("other", "DtbTest", topLevelShellWidgetClass, XtDisplay(xs::toplevel()), XmNx,
                                    600, XmNy, 600, nullptr);
  Widget outside = XtVaCreateManagedWidget("outside", xmPushButtonWidgetClass, other, XmNwidth, 80, XmNheight, 40,
                                           nullptr);
  int outside_presses = 0;
  XtAddCallback(outside, XmNactivateCallback, [](Widget, XtPointer n, XtPointer) { ++*static_cast<int *>(n); },
                &outside_presses);
  ASSERT_TRUE(xs::show_and_wait(other));
  struct {
    Button click;
    KeySym key;
    DtbModalAnswer expected;
  } inputs[] = {{Button::kOk, NoSymbol, DTB_MODAL_ACTION1},
                {Button::kAction2, NoSymbol, DTB_MODAL_ACTION2},
                {Button::kOk, XK_Return, DTB_MODAL_ACTION1},
                {Button::kOk, XK_Escape, DTB_MODAL_ACTION2}};
  for (const auto &input : inputs) {
    bool checked = false;
    dtb_test::when_shown([&](Widget d) {
      unsigned char type = 0, default_type = 0;
      Widget default_button = nullptr;
      XtVaGetValues(d, XmNdialogType, &type, XmNdefaultButtonType, &default_type, XmNdefaultButton, &default_button,
                    nullptr);
      EXPECT_EQ(XmDIALOG_QUESTION, type);
      EXPECT_EQ(XmDIALOG_OK_BUTTON, default_type);
      EXPECT_EQ(dtb_test::button_of(d, Button::kOk), default_button);
      EXPECT_FALSE(managed(d, Button::kCancel));
      EXPECT_FALSE(managed(d, Button::kAction3));
      EXPECT_TRUE(managed(d, Button::kHelp));
      EXPECT_EQ(XtCallbackHasNone, XtHasCallbacks(d, XmNhelpCallback));
      EXPECT_EQ("예", xm_text(dtb_test::button_of(d, Button::kOk), XmNlabelString));
      EXPECT_EQ("아니오", xm_text(dtb_test::button_of(d, Button::kAction2), XmNlabelString));
      checked = true;
    });
    // Help gives no answer: the dialog is still up for the real answer. (A
    // click on Help would also make it the default for Return.)
    if (input.key == NoSymbol) dtb_test::press_later(Button::kHelp, 60);
    xs::after(120, [outside] { xs::click(outside); });
    EXPECT_EQ(input.expected, answer_by_pressing(rec, input.click, input.key, nullptr, 200))
        << (input.key != NoSymbol ? XKeysymToString(input.key) : "click");
    EXPECT_TRUE(checked);
  }
  EXPECT_EQ(0, std::memcmp(&before, &rec.r, sizeof before));
  EXPECT_EQ(0, outside_presses);
  dtb_test::press(outside);  // the answered question no longer holds the grab
  EXPECT_EQ(1, outside_presses);
  XtDestroyWidget(other);
  close_all_dialogs();
}

struct DefaultCase {
  int value;
  bool action2, action3;
  unsigned char button_type;
  Button default_widget;  // kHelp stands for "none of the action buttons"
};

class DefaultButton : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultButton, FollowsTheRecord) {
  const DefaultCase &c = GetParam();
  Record rec;
  rec.r.action1_label = rec.text("one");
  if (c.action2) rec.r.action2_label = rec.text("two");
  if (c.action3) rec.r.action3_label = rec.text("three");
  rec.r.show_cancel = True;
  rec.r.default_button = static_cast<DtbDefaultButton>(c.value);
  Widget d = dtb_create_message_dlg(xs::toplevel(), &rec.r, nullptr, nullptr);
  ASSERT_NE(nullptr, d);
  unsigned char type = 99;
  Widget default_button = nullptr;
  XtVaGetValues(d, XmNdefaultButtonType, &type, XmNdefaultButton, &default_button, nullptr);
  EXPECT_EQ(c.button_type, type) << c.value;
  if (c.default_widget == Button::kAction2 || c.default_widget == Button::kAction3) {
    Widget b = dtb_test::button_of(d, c.default_widget);
    EXPECT_EQ(b, default_button);
    Dimension thickness = 0;
    XtVaGetValues(b, XmNdefaultButtonShadowThickness, &thickness, nullptr);
    EXPECT_EQ(2, thickness);
  } else if (c.default_widget == Button::kOk || c.default_widget == Button::kCancel) {
    EXPECT_EQ(dtb_test::button_of(d, c.default_widget), default_button);
  } else {
    for (Button b : {Button::kOk, Button::kCancel, Button::kAction2, Button::kAction3}) {
      if (dtb_test::button_of(d, b) != nullptr) {
        EXPECT_NE(dtb_test::button_of(d, b), default_button) << c.value;
      }
    }
  }
  XtDestroyWidget(XtParent(d));
}

INSTANTIATE_TEST_SUITE_P(Values, DefaultButton,
                         ::testing::Values(DefaultCase{0, true, true, XmDIALOG_OK_BUTTON, Button::kOk},
                                           DefaultCase{1, true, true, XmDIALOG_NONE, Button::kAction2},
                                           DefaultCase{2, true, true, XmDIALOG_NONE, Button::kAction3},
                                           DefaultCase{3, true, true, XmDIALOG_CANCEL_BUTTON, Button::kCancel},
                                           DefaultCase{4, true, true, XmDIALOG_NONE, Button::kHelp},
                                           DefaultCase{7, true, true, XmDIALOG_NONE, Button::kHelp},
                                           DefaultCase{-1, true, true, XmDIALOG_NONE, Button::kHelp},
                                           DefaultCase{1, false, true, XmDIALOG_NONE, Button::kHelp},
                                           DefaultCase{2, true, false, XmDIALOG_NONE, Button::kHelp}));

TEST(MessageDialog, NullTitleIsOneBlankAndNamesAreFixed) {
  Record rec;
  rec.r.action1_label = rec.text("one");
  rec.r.action2_label = rec.text("two");
  rec.r.action3_label = rec.text("three");
  Widget d = dtb_create_message_dlg(xs::toplevel(), &rec.r, nullptr, nullptr);
  ASSERT_NE(nullptr, d);
  EXPECT_STREQ("dtb_msg_dlg", XtName(d));
  char *title = nullptr;
  XtVaGetValues(XtParent(d), XmNtitle, &title, nullptr);
  EXPECT_STREQ(" ", title);
  EXPECT_EQ(XtNameToWidget(d, "action2_button"), dtb_MessageBoxGetActionButton(d, 1));
  EXPECT_EQ(XtNameToWidget(d, "action3_button"), dtb_MessageBoxGetActionButton(d, 2));
  EXPECT_EQ(nullptr, dtb_MessageBoxGetActionButton(d, 3));
  EXPECT_FALSE(XtIsManaged(d));  // built, not shown
  XtDestroyWidget(XtParent(d));

  // Any widget finds its way up to the shell that parents the dialog.
  rec.r.title = rec.text("제목");
  Widget inner = XtVaCreateManagedWidget("inner", xmMessageBoxWidgetClass, xs::toplevel(), nullptr);
  d = dtb_create_message_dlg(inner, &rec.r, nullptr, nullptr);
  ASSERT_NE(nullptr, d);
  EXPECT_EQ(xs::toplevel(), XtParent(XtParent(d)));
  XtVaGetValues(XtParent(d), XmNtitle, &title, nullptr);
  EXPECT_STREQ("제목", title);
  XtDestroyWidget(XtParent(d));
  XtDestroyWidget(inner);
}

TEST(MessageDialog, OverrideMessageLeavesTheRecordAlone) {
  Record rec;
  rec.r.message = rec.text("record message");
  rec.r.action1_label = rec.text("OK");
  DtbMessageRecord before = rec.r;
  dtb::UniqueXmString other = dtb::make_xmstring("다른 메시지");
  dtb_show_message(xs::toplevel(), &rec.r, other.get(), nullptr);
  Widget first = dtb_test::shown_message_box();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ("다른 메시지", xm_text(first, XmNmessageString));
  EXPECT_EQ(0, std::memcmp(&before, &rec.r, sizeof before));

  dtb_show_message(xs::toplevel(), &rec.r, nullptr, nullptr);
  Widget second = dtb_test::shown_message_box();
  ASSERT_NE(nullptr, second);
  EXPECT_NE(first, second);  // every show builds its own dialog
  EXPECT_EQ("record message", xm_text(second, XmNmessageString));
  EXPECT_EQ(2, dtb_test::live_message_boxes());
  close_all_dialogs();
  EXPECT_EQ(0, dtb_test::live_message_boxes());
}

int g_calls[4];
void count_ok(Widget, XtPointer, XtPointer) { ++g_calls[0]; }
void count_two(Widget, XtPointer, XtPointer) { ++g_calls[1]; }
void count_three(Widget, XtPointer, XtPointer) { ++g_calls[2]; }
void count_cancel(Widget, XtPointer, XtPointer) { ++g_calls[3]; }

TEST(MessageDialog, RecordCallbacksRunOnlyWhenNotModal) {
  Record rec;
  rec.r.action1_label = rec.text("one");
  rec.r.action2_label = rec.text("two");
  rec.r.action3_label = rec.text("three");
  rec.r.show_cancel = True;
  rec.r.action1_callback = count_ok;
  rec.r.action2_callback = count_two;
  rec.r.action3_callback = count_three;
  rec.r.cancel_callback = count_cancel;
  std::memset(g_calls, 0, sizeof g_calls);

  int index = 0;
  for (Button b : {Button::kOk, Button::kAction2, Button::kAction3, Button::kCancel}) {
    dtb_show_message(xs::toplevel(), &rec.r, nullptr, nullptr);
    Widget d = dtb_test::shown_message_box();
    ASSERT_NE(nullptr, d);
    dtb_test::press(dtb_test::button_of(d, b));
    EXPECT_TRUE(xs::pump_until([&] { return g_calls[index] == 1; }, 1000)) << index;
    ++index;
  }
  close_all_dialogs();

  for (Button b : {Button::kOk, Button::kAction2, Button::kAction3, Button::kCancel}) answer_by_pressing(rec, b);
  for (int calls : g_calls) EXPECT_EQ(1, calls);
}

TEST(MessageDialog, HelpCopyBelongsToItsDialogAndIsFreedOnce) {
  Record rec;
  rec.r.action1_label = rec.text("OK");
  rec.r.show_help = True;
  char text[] = "도움말", volume[] = "Glosset", location[] = "Intro";
  DtbHelpData override_help{text, volume, location};

  int destroyed = 0;
  auto count_destroy = [](Widget, XtPointer n, XtPointer) { ++*static_cast<int *>(n); };
  std::vector<DtbHelpData *> copies;
  for (int i = 0; i < 2; ++i) {
    dtb_show_message(xs::toplevel(), &rec.r, nullptr, &override_help);
    Widget d = dtb_test::shown_message_box();
    ASSERT_NE(nullptr, d);
    XtAddCallback(d, XmNdestroyCallback, count_destroy, &destroyed);
    // The help callback was given a copy of its own, not the caller's record.
    XtCallbackList list = nullptr;
    XtVaGetValues(d, XmNhelpCallback, &list, nullptr);
    ASSERT_NE(nullptr, list);
    auto *copy = static_cast<DtbHelpData *>(list[0].closure);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(&override_help, copy);
    EXPECT_NE(text, copy->help_text);
    EXPECT_STREQ(text, copy->help_text);
    EXPECT_STREQ(location, copy->help_location);
    copies.push_back(copy);
  }
  EXPECT_NE(copies[0], copies[1]);
  // Closing pops each dialog down once; AddressSanitizer reports a second free
  // and LeakSanitizer a copy that is never freed.
  close_all_dialogs();
  EXPECT_EQ(2, destroyed);

  // The modal road too, closed by a button.
  dtb_test::press_later(Button::kOk);
  EXPECT_EQ(DTB_MODAL_ACTION1,
            dtb_show_modal_message(xs::toplevel(), &rec.r, nullptr, &override_help, nullptr));
  EXPECT_STREQ("도움말", override_help.help_text);  // the caller's record is untouched
}

TEST(MessageDialog, WindowManagerCloseEndsTheWaitAsCancel) {
  Record rec = delete_confirmation();  // no Cancel button to press
  char text[] = "help";
  DtbHelpData help{text, nullptr, nullptr};
  int destroyed = 0;
  xs::after(20, [&] {
    Widget d = dtb_test::shown_message_box();
    ASSERT_NE(nullptr, d);
    XtAddCallback(
        d, XmNdestroyCallback, [](Widget, XtPointer n, XtPointer) { ++*static_cast<int *>(n); }, &destroyed);
    xs::send_wm_delete(d);
  });
  Widget out = xs::toplevel();
  EXPECT_EQ(DTB_MODAL_CANCEL, dtb_show_modal_message(xs::toplevel(), &rec.r, nullptr, &help, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(1, destroyed);
  EXPECT_EQ(0, dtb_test::live_message_boxes());
}

// LeakSanitizer reports a help copy that is not freed with its dialog. The
// dialogs are shown from timers, as a program shows them from its callbacks.
TEST(MessageDialog, DestroyedParentEndsTheWaitAndFreesTheHelpCopy) {
  Record rec = delete_confirmation();
  char text[] = "help";
  DtbHelpData help{text, text, text};
  for (bool modal : {true, false}) {
    Widget shell = XtVaAppCreateShell("other", "DtbTest", topLevelShellWidgetClass, XtDisplay(xs::toplevel()),
                                      XmNwidth, 50, XmNheight, 50, nullptr);
    XtRealizeWidget(shell);
    DtbModalAnswer answer = DTB_MODAL_NONE;
    xs::after(0, [&] {
      if (modal) {
        xs::after(20, [shell] { XtDestroyWidget(shell); });
        answer = dtb_show_modal_message(shell, &rec.r, nullptr, &help, nullptr);
      } else {
        dtb_show_message(shell, &rec.r, nullptr, &help);
        XtDestroyWidget(shell);
        answer = DTB_MODAL_CANCEL;
      }
    });
    EXPECT_TRUE(xs::pump_until([&] { return answer == DTB_MODAL_CANCEL; })) << modal;
  }
  EXPECT_EQ(0, dtb_test::live_message_boxes());
}

TEST(MessageDialog, NestedModalWaitsHaveTheirOwnAnswers) {
  Record outer = delete_confirmation();
  Record inner = delete_confirmation();
  DtbModalAnswer inner_answer = DTB_MODAL_NONE;
  xs::after(20, [&] {
    dtb_test::press_later(Button::kAction2);
    inner_answer = dtb_show_modal_message(xs::toplevel(), &inner.r, nullptr, nullptr, nullptr);
    dtb_test::press_later(Button::kOk);  // now the outer dialog is the one shown
  });
  EXPECT_EQ(DTB_MODAL_ACTION1, dtb_show_modal_message(xs::toplevel(), &outer.r, nullptr, nullptr, nullptr));
  EXPECT_EQ(DTB_MODAL_ACTION2, inner_answer);
  EXPECT_TRUE(xs::pump_until([] { return dtb_test::live_message_boxes() == 0; }));
}

TEST(MessageDialog, NoParentNoDialog) {
  close_all_dialogs();
  Record rec = delete_confirmation();
  Widget out = reinterpret_cast<Widget>(&rec);
  EXPECT_EQ(DTB_MODAL_NONE, dtb_show_modal_message(nullptr, &rec.r, nullptr, nullptr, &out));
  EXPECT_EQ(reinterpret_cast<Widget>(&rec), out);
  EXPECT_EQ(DTB_MODAL_NONE, dtb_show_modal_message(xs::toplevel(), nullptr, nullptr, nullptr, &out));
  char text[] = "x";
  DtbHelpData help{text, text, text};
  dtb_show_message(nullptr, &rec.r, nullptr, &help);  // the copy it made must not leak
  EXPECT_EQ(nullptr, dtb_create_message_dlg(nullptr, &rec.r, nullptr, nullptr));
  EXPECT_EQ(0, dtb_test::live_message_boxes());
}

}  // namespace
