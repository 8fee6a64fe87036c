// Help from the main window in-process, one text mode per run (the resource
// file of the mode is loaded as the program loads it): F1 where the user is,
// the 도움말 menu, the help windows' Korean texts from the resource files, and
// what the window manager reads: the UTF-8 titles and the icon.
#include "tests/ui/main_window.h"

#include <X11/IntrinsicP.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <Xm/MessageB.h>

#include <string>

#include "dtb/dt/help.h"
#include "dtb/dt/help_volume.h"
#include "dtb/dtb_utils.h"
#include "editor/help_ops.h"

namespace {

std::string L(const std::string &utf8) { return dt::utf8_to_locale(utf8); }  // in the mode's encoding

Widget wait_shown(const char *shell_name) {
  Widget w = nullptr;
  return xs::pump_until([&] { return xs::on_screen(w = xs::shown(shell_name, W.mainwindow)); }) ? w : nullptr;
}

// A key typed with the keyboard focus in w, as after a click into its window.
void key_in(Widget w, KeySym sym) {
  Widget shell = w;
  while (!XtIsShell(shell)) shell = XtParent(shell);
  xs::pointer_to(shell, 2, 2);
  XSetInputFocus(XtDisplay(w), XtWindow(shell), RevertToParent, CurrentTime);
  xs::pump_for(30);
  if (w != shell) XmProcessTraversal(w, XmTRAVERSE_CURRENT);
  xs::pump_for(30);
  xs::key(sym);
  xs::pump_for(50);
}

// The topic as the help windows show it: title, blank line, text.
std::string topic_text(const char *location) {
  static auto volume = dt::load_help_volume(GLOSSET_SOURCE_DIR "/resources/help/Glosset.hv");
  const dt::HelpTopic *t = volume ? volume->find(location) : nullptr;
  return t != nullptr ? L(t->title + "\n\n" + t->body) : "(no topic " + std::string(location) + ")";
}

// A window property's bytes as they were set (32-bit items as longs), or "(none)".
std::string property(Widget shell, const char *name, Atom type) {
  Display *d = XtDisplay(shell);
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  XGetWindowProperty(d, XtWindow(shell), XInternAtom(d, name, False), 0, 1 << 16, False, type, &type, &format, &count,
                     &after, &data);
  std::string s = data != nullptr ? std::string(reinterpret_cast<char *>(data), count * (format == 32 ? sizeof(long) : 1))
                                  : "(none)";
  if (data != nullptr) XFree(data);
  return s;
}
std::string utf8_property(Widget shell, const char *name) {
  return property(shell, name, XInternAtom(XtDisplay(shell), "UTF8_STRING", False));
}

using HelpTest = MainWindowTest;

TEST_P(HelpTest, F1ShowsTheTopicOfThePlace) {
  const struct {
    Widget *place;  // D.textfield3 is there only once the dialog is
    const char *location;
  } cases[] = {{&W.textfield, kHelpFind}, {&W.Find, kHelpFind}, {&W.syshjd_list, kHelpSystemList},
               {&W.usrhjd_list, kHelpUserList}, {&W.Add, kHelpAdd}, {&W.Modify, kHelpModify},
               {&W.Delete, kHelpDelete}, {&D.textfield3, kHelpAddModify}};
  for (const auto &c : cases) {
    if (c.location == kHelpAddModify) xs::click(W.Add), xs::pump_until([] { return xs::on_screen(D.textfield3); });
    key_in(*c.place, XK_F1);
    Widget quick = wait_shown("Help_popup");
    ASSERT_NE(quick, nullptr) << c.location;
    EXPECT_EQ(xs::taken(DtbHelpDialogGetText(quick)), topic_text(c.location)) << c.location;
    XtUnmanageChild(quick);
  }
  // The help windows' own texts come from the resource file of the mode.
  key_in(W.textfield, XK_F1);
  Widget quick = wait_shown("Help_popup");
  ASSERT_NE(quick, nullptr);
  for (auto [child, label] : {std::pair{DtHELP_QUICK_CLOSE_BUTTON, "닫기"}, {DtHELP_QUICK_MORE_BUTTON, "더 보기"},
                               {DtHELP_QUICK_BACK_BUTTON, "뒤로"}})
    EXPECT_EQ(xs::text_of(DtHelpQuickDialogGetChild(quick, child), XmNlabelString), L(label));
  // More leads into the volume at the same topic.
  xs::click(DtHelpQuickDialogGetChild(quick, DtHELP_QUICK_MORE_BUTTON));
  Widget general = wait_shown("GeneralHelp_popup");
  ASSERT_NE(general, nullptr);
  EXPECT_EQ(xs::taken(DtbHelpDialogGetTopicTitle(general)), L("단어 찾기"));
}

TEST_P(HelpTest, MenuShowsUsageAndAbout) {
  // 도움말 sits at the right end of the menu bar.
  EXPECT_GE(W.Help_item->core.x + W.Help_item->core.width + 10, XtParent(W.Help_item)->core.width);
  xs::click(W.Help_item);
  ASSERT_TRUE(xs::pump_until([] { return xs::on_screen(W.Usage_item); }));
  xs::click(W.Usage_item);
  Widget general = wait_shown("GeneralHelp_popup");
  ASSERT_NE(general, nullptr);
  EXPECT_EQ(xs::taken(DtbHelpDialogGetTopicTitle(general)), L("한자 사전 편집기"));
  std::string home = topic_text(kHelpHome);
  EXPECT_EQ(xs::taken(DtbHelpDialogGetText(general)), home.substr(home.find("\n\n") + 2));
  key_in(general, XK_Escape);
  EXPECT_TRUE(xs::pump_until([&] { return !XtIsManaged(general); }));

  xs::click(W.Help_item);
  ASSERT_TRUE(xs::pump_until([] { return xs::on_screen(W.About_item); }));
  xs::click(W.About_item);
  Widget about = wait_shown("dtb_msg_dlg_popup");
  ASSERT_NE(about, nullptr);
  std::string text = xs::text_of(about, XmNmessageString);
  for (const std::string &part : {std::string("glosset " GLOSSET_VERSION), L("사용 허가: BSD-3-Clause"),
                                  L("사용자 사전: ") + user_, L("시스템 사전: ") + system_, L("입력기: ")})
    EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
  EXPECT_EQ(xs::text_of(XmMessageBoxGetChild(about, XmDIALOG_OK_BUTTON), XmNlabelString), L("확인"));
  key_in(about, XK_Escape);
  EXPECT_TRUE(xs::pump_until([] { return xs::shown("dtb_msg_dlg_popup", W.mainwindow) == nullptr; }));
}

TEST_P(HelpTest, WindowManagersGetUtf8TitlesAndTheIcon) {
  EXPECT_EQ(utf8_property(top_, "_NET_WM_NAME"), "glosset - 한자 사전 편집기");
  EXPECT_EQ(utf8_property(top_, "_NET_WM_ICON_NAME"), "glosset - 한자 사전 편집기");
  // WM_NAME is read back by the end-to-end test.
  XWMHints *hints = XGetWMHints(XtDisplay(top_), XtWindow(top_));
  ASSERT_NE(hints, nullptr);
  EXPECT_TRUE(hints->flags & IconPixmapHint);
  XFree(hints);
  const std::string bytes = property(top_, "_NET_WM_ICON", XA_CARDINAL);
  ASSERT_EQ(bytes.size(), (2 + 48 * 48) * sizeof(long));
  const long *icon = reinterpret_cast<const long *>(bytes.data());
  EXPECT_EQ(icon[0], 48);
  EXPECT_EQ(icon[2 + 24 * 48 + 2] & 0xffffffff, 0xff2f5d8a) << std::hex << icon[2 + 24 * 48 + 2];  // the frame's blue

  xs::click(W.Add);
  ASSERT_TRUE(xs::pump_until([] { return xs::on_screen(D.dialog); }));
  EXPECT_EQ(utf8_property(D.dialog, "_NET_WM_NAME"), "추가/수정");
}

INSTANTIATE_TEST_SUITE_P(Modes, HelpTest, ::testing::Values("ko_KR.UTF-8", "ko_KR.EUC"),
                         [](const auto &info) { return std::string(info.param[6] == 'U' ? "utf8" : "euc"); });

}  // namespace
