// Message dialogs from message records, answered with the pointer and keys.
#include <cstring>
#include <map>

#include <gtest/gtest.h>
#include <Xm/MessageB.h>
#include <Xm/PushB.h>

#include "dtb/dtb_private.h"
#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

namespace {

std::vector<Widget> boxes() { return xs::popups("dtb_msg_dlg_popup"); }
Widget shown_box() { return xs::shown("dtb_msg_dlg_popup"); }

// A button of a message box by letter: o(k), 2 and 3 (the extra actions,
// found by name, since their user data holds other things during a modal
// wait), c(ancel), h(elp).
Widget button_of(Widget box, char which) {
  if (which == '2' || which == '3') return XtNameToWidget(box, which == '2' ? "action2_button" : "action3_button");
  return XmMessageBoxGetChild(box, which == 'o' ? XmDIALOG_OK_BUTTON : which == 'c' ? XmDIALOG_CANCEL_BUTTON
                                                                                     : XmDIALOG_HELP_BUTTON);
}

// Once the newest message box is on the screen, runs the action on it.
void when_shown(std::function<void(Widget box)> action) { xs::when_shown("dtb_msg_dlg_popup", std::move(action)); }

// ... clicks one of its buttons, or closes it as a window manager does ('w');
// or, with a key other than NoSymbol, types that key with the pointer over the box.
void answer_later(char which, KeySym key = NoSymbol) {
  when_shown([which, key](Widget box) {
    if (which == 'w') return xs::send_wm_delete(box);
    if (key == NoSymbol) return xs::click(button_of(box, which));
    xs::pointer_to(box, 5, 5);
    xs::key(key);
  });
}

int g_calls[4];
template <int N>
void count(Widget, XtPointer, XtPointer) { ++g_calls[N]; }

// Compound strings made once for the whole run, freed at its end.
XmString str(const char *text) {
  static std::map<std::string, dtb::UniqueXmString> made;
  dtb::UniqueXmString &s = made[text];
  return (s ? s : s = dtb::make_xmstring(text)).get();
}

// A question showing the buttons named by letter (see button_of),
// whose callbacks count their calls.
DtbMessageRecord record(const char *buttons, int default_button = 0, XmString title = nullptr) {
  auto has = [buttons](char b) { return std::strchr(buttons, b) != nullptr; };
  return {True,      XmDIALOG_QUESTION, title,    str("message"), has('o') ? str("one") : nullptr, count<0>,
          has('2') ? str("two") : nullptr, count<1>, has('3') ? str("three") : nullptr,     count<2>,
          has('c'),  count<3>,          has('h'), {},             DtbDefaultButton(default_button)};
}

// Shows the record modally; input that went astray must not leave the wait hanging.
DtbModalAnswer wait_for_answer(DtbMessageRecord &rec, Widget parent = xs::toplevel(), Widget *out = nullptr) {
  auto answered = std::make_shared<bool>(false);
  xs::after(4000, [answered] {
    if (*answered) return;
    ADD_FAILURE() << "the input gave no answer";
    if (Widget box = shown_box()) xs::send_wm_delete(box);
  });
  DtbModalAnswer answer = dtb_show_modal_message(parent, &rec, nullptr, nullptr, out);
  *answered = true;
  return answer;
}

// The buttons shown, the record's default and the button that is then the
// box's default (' ' for none), the button pressed or the key typed, the answer.
struct Case {
  const char *buttons;
  int default_button;
  char default_widget, press;
  KeySym key;
  DtbModalAnswer expected;
};

class ModalAnswer : public ::testing::TestWithParam<Case> {};

TEST_P(ModalAnswer, IsThatOfTheButtonPressed) {
  const Case &c = GetParam();
  DtbMessageRecord rec = record(c.buttons, c.default_button);
  std::memset(g_calls, 0, sizeof g_calls);
  when_shown([&](Widget box) {
    for (char b : std::string("o23ch"))
      EXPECT_EQ(std::strchr(c.buttons, b) != nullptr, button_of(box, b) != nullptr && XtIsManaged(button_of(box, b)))
          << b;
    Widget default_widget = nullptr;
    char *title = nullptr;
    XtVaGetValues(box, XmNdefaultButton, &default_widget, nullptr);
    XtVaGetValues(XtParent(box), XmNtitle, &title, nullptr);
    EXPECT_EQ(c.default_widget == ' ' ? nullptr : button_of(box, c.default_widget), default_widget);
    EXPECT_STREQ(" ", title);
  });
  answer_later(c.press, c.key);
  Widget out = xs::toplevel();
  EXPECT_EQ(c.expected, wait_for_answer(rec, xs::toplevel(), &out));
  EXPECT_EQ(nullptr, out);
  for (int calls : g_calls) EXPECT_EQ(0, calls);
  // The answered box lets go of the finished wait: its extra buttons hold their ids again.
  ASSERT_EQ(c.press == 'w' ? 0u : 1u, boxes().size());  // a closed window goes at once
  for (Widget box : boxes()) {
    EXPECT_FALSE(XtIsManaged(box));
    EXPECT_EQ(button_of(box, '2'), dtb_MessageBoxGetActionButton(box, 1));
    EXPECT_EQ(button_of(box, '3'), dtb_MessageBoxGetActionButton(box, 2));
  }
  EXPECT_TRUE(xs::pump_until([] { return boxes().empty(); }));
}

INSTANTIATE_TEST_SUITE_P(Buttons, ModalAnswer,
                         ::testing::Values(Case{"o", 0, 'o', 'o', NoSymbol, DTB_MODAL_ACTION1},
                                           Case{"2", 1, '2', '2', NoSymbol, DTB_MODAL_ACTION2},
                                           Case{"o23ch", 3, 'c', 'c', NoSymbol, DTB_MODAL_CANCEL},
                                           Case{"3c", 4, ' ', '3', NoSymbol, DTB_MODAL_ACTION3},
                                           Case{"o2c", 2, ' ', '2', NoSymbol, DTB_MODAL_ACTION2},
                                           Case{"o23ch", 0, 'o', ' ', XK_Return, DTB_MODAL_ACTION1},
                                           Case{"o23ch", 2, '3', ' ', XK_Return, DTB_MODAL_ACTION3},
                                           Case{"o23ch", 7, ' ', ' ', XK_Escape, DTB_MODAL_CANCEL},
                                           Case{"o23h", -1, ' ', ' ', XK_Escape, DTB_MODAL_ACTION3},
                                           Case{"o", 0, 'o', ' ', XK_Escape, DTB_MODAL_ACTION1},
                                           Case{"o2h", 0, 'o', ' ', XK_Escape, DTB_MODAL_ACTION2},
                                           Case{"o2", 0, 'o', 'w', NoSymbol, DTB_MODAL_CANCEL}));

// A click on Help takes the keyboard focus; Return must still press the
// default answer, not Help again.
TEST(DeleteConfirmation, HelpDoesNothingOtherWindowsWaitAndReturnPressesTheDefault) {
  DtbMessageRecord rec = record("o2h", 0, str("삭제 확인")), before = rec;
  Widget other = xs::make_shell(80, 40, 600, 600);
  Widget outside = XtVaCreateManagedWidget("outside", xmPushButtonWidgetClass, other, nullptr);
  XtAddCallback(outside, XmNactivateCallback, count<0>, nullptr);
  ASSERT_TRUE(xs::show_and_wait(other));
  Widget inner = XtVaCreateManagedWidget("inner", xmMessageBoxWidgetClass, xs::toplevel(), nullptr);
  std::memset(g_calls, 0, sizeof g_calls);
  when_shown([&](Widget box) {
    char *title = nullptr;
    XtVaGetValues(XtParent(box), XmNtitle, &title, nullptr);
    EXPECT_STREQ("삭제 확인", title);
    // The answers' labels are checked on the editor's own confirmation.
    xs::click(button_of(box, 'h'));
    xs::after(60, [outside] {
      xs::click(outside);
      answer_later(' ', XK_Return);
    });
  });
  EXPECT_EQ(DTB_MODAL_ACTION1, wait_for_answer(rec, inner));
  EXPECT_EQ(0, std::memcmp(&before, &rec, sizeof before));
  EXPECT_EQ(0, g_calls[0]);
  xs::press(outside);  // the answered question no longer holds the grab
  EXPECT_EQ(1, g_calls[0]);
  XtDestroyWidget(other);
  XtDestroyWidget(inner);
}

// Escape in a box without Cancel whose record has a cancel callback runs that
// callback alone, not also the button that stands in for Cancel.
TEST(MessageDialog, EscapeWithoutCancelRunsOneCallback) {
  DtbMessageRecord rec = record("o2h");
  std::memset(g_calls, 0, sizeof g_calls);
  dtb_show_message(xs::toplevel(), &rec, nullptr, nullptr);
  ASSERT_TRUE(xs::pump_until([] { return xs::on_screen(shown_box()); }));
  xs::pointer_to(shown_box(), 5, 5);
  xs::key(XK_Escape);
  EXPECT_TRUE(xs::pump_until([] { return boxes().empty(); }));
  EXPECT_EQ((std::vector<int>{0, 0, 0, 1}), std::vector<int>(g_calls, g_calls + 4));
}

// A help copy freed twice shows under AddressSanitizer, one never freed under LeakSanitizer.
TEST(MessageDialog, HelpCopyGoesWithTheDialogAndADestroyedParentEndsTheWait) {
  DtbMessageRecord rec = record("oh");
  char text[] = "도움말";
  DtbHelpData help{text, text, text};
  for (bool modal : {true, false}) {
    Widget shell = xs::make_shell(50, 50);
    XtRealizeWidget(shell);
    DtbModalAnswer answer = DTB_MODAL_NONE;
    xs::after(0, [&] {  // shown from a timer, as a program shows them from its callbacks
      if (modal) {
        xs::after(20, [shell] { XtDestroyWidget(shell); });
        answer = dtb_show_modal_message(shell, &rec, nullptr, &help, nullptr);
      } else {
        dtb_show_message(shell, &rec, nullptr, &help);
        XtDestroyWidget(shell);
        answer = DTB_MODAL_CANCEL;
      }
    });
    EXPECT_TRUE(xs::pump_until([&] { return answer == DTB_MODAL_CANCEL; })) << modal;
  }
  dtb_show_message(nullptr, &rec, nullptr, &help);  // no parent, no dialog: the copy it made must not leak
  EXPECT_EQ(DTB_MODAL_NONE, dtb_show_modal_message(nullptr, &rec, nullptr, &help, nullptr));
}

}  // namespace
