// Help dispatch on our help layer: the quick dialog, More and Back, the
// general dialog, volumes, on-item help.
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <X11/extensions/XTest.h>
#include <Xm/Form.h>
#include <Xm/Label.h>

#include "dtb/dt/help.h"
#include "dtb/dtb_private.h"
#include "dtb/dtb_utils.h"
#include "tests/dtb/gui_dialogs.h"
#include "tests/support/scratch.h"
#include "tests/support/x_session.h"

namespace {

std::string take(char *xt_string) {
  std::string s = xt_string != nullptr ? xt_string : "<null>";
  XtFree(xt_string);
  return s;
}

std::string resource(Widget w, const char *name) {
  String value = nullptr;
  XtVaGetValues(w, name, &value, nullptr);
  return value != nullptr ? value : "<null>";
}

int help_type(Widget w) {
  int type = -1;
  XtVaGetValues(w, DtNhelpType, &type, nullptr);
  return type;
}

// Help volumes in a scratch directory on DTB_HELP_PATH.
class Help : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.write("Vol.hv", "@topic Intro Introduction\nThe intro text.\n@topic Other Other one\nother text\n");
    dir_.write("a/b/Vol.hv", "@topic Intro Deep intro\nfrom the path\n");
  }
  void TearDown() override {
    // The dialogs live on for the next test, as for a program; hide them.
    for (const char *name : {"Help_popup", "GeneralHelp_popup"})
      if (Widget w = dtb_test::popup_child(name)) XtUnmanageChild(w);
  }
  static Widget quick() { return dtb_test::popup_child("Help_popup"); }
  static Widget more() { return DtHelpQuickDialogGetChild(quick(), DtHELP_QUICK_MORE_BUTTON); }
  static Widget back() { return DtHelpQuickDialogGetChild(quick(), DtHELP_QUICK_BACK_BUTTON); }
  static void show(const char *text, const char *volume, const char *location) {
    DtbHelpData help{const_cast<char *>(text), const_cast<char *>(volume), const_cast<char *>(location)};
    dtb_help_dispatch(nullptr, &help, nullptr);
  }

  scratch::Dir dir_{"dtb-helpvol"};
  scratch::Env help_path_{"DTB_HELP_PATH", dir_.path().c_str()};
};

TEST_F(Help, QuickHelpThenMoreOpensTheVolumeAtTheLocation) {
  show("짧은 도움말", "Vol", "Intro");
  ASSERT_NE(nullptr, quick());
  EXPECT_TRUE(XtIsManaged(quick()));
  EXPECT_EQ("짧은 도움말", take(DtbHelpDialogGetText(quick())));
  EXPECT_EQ(DtHELP_TYPE_DYNAMIC_STRING, help_type(quick()));
  EXPECT_EQ("Vol/Intro", resource(quick(), DtNhelpVolume));
  EXPECT_EQ("moreButton", std::string(XtName(more())));
  EXPECT_EQ("backButton", std::string(XtName(back())));
  EXPECT_TRUE(XtIsManaged(more()));
  EXPECT_TRUE(XtIsSensitive(more()));
  char *title = nullptr;
  XtVaGetValues(XtParent(quick()), XmNtitle, &title, nullptr);
  EXPECT_STREQ("Application Help", title);

  dtb_test::press(more());
  Widget general = dtb_test::popup_child("GeneralHelp_popup");
  ASSERT_NE(nullptr, general);
  EXPECT_TRUE(XtIsManaged(general));
  EXPECT_FALSE(XtIsManaged(quick()));
  EXPECT_EQ(DtHELP_TYPE_TOPIC, help_type(general));
  EXPECT_EQ("Vol", resource(general, DtNhelpVolume));
  EXPECT_EQ("Intro", resource(general, DtNlocationId));
  EXPECT_EQ("Introduction", take(DtbHelpDialogGetTopicTitle(general)));
  EXPECT_EQ("The intro text.", take(DtbHelpDialogGetText(general)));
}

TEST_F(Help, VolumeGivenAsAPathIsSplitAtTheLastSlash) {
  std::string volume = dir_ / "a/b/Vol";
  show("text", volume.c_str(), "Intro");
  ASSERT_TRUE(XtIsSensitive(more()));
  dtb_test::press(more());
  Widget general = dtb_test::popup_child("GeneralHelp_popup");
  ASSERT_NE(nullptr, general);
  EXPECT_EQ(volume, resource(general, DtNhelpVolume));
  EXPECT_EQ("Intro", resource(general, DtNlocationId));
  EXPECT_EQ("from the path", take(DtbHelpDialogGetText(general)));
  EXPECT_EQ(1, dtb_test::popup_count("GeneralHelp_popup"));  // More reuses its dialog
}

TEST_F(Help, MissingVolumeOrLocationMakesMoreInsensitiveInPlace) {
  show("first", "Vol", "Intro");
  Widget first_dialog = quick();
  ASSERT_TRUE(XtIsSensitive(more()));
  struct {
    const char *volume, *location;
  } cases[] = {{"", "Intro"}, {"Vol", ""}, {nullptr, "Intro"}, {"Vol", nullptr}, {nullptr, nullptr}};
  for (const auto &c : cases) {
    show("second", "Vol", "Intro");
    ASSERT_TRUE(XtIsSensitive(more()));
    show("third", c.volume, c.location);
    EXPECT_FALSE(XtIsSensitive(more())) << (c.volume ? c.volume : "null") << "/" << (c.location ? c.location : "null");
    EXPECT_EQ("", resource(quick(), DtNhelpVolume));
    EXPECT_EQ("third", take(DtbHelpDialogGetText(quick())));
  }
  EXPECT_EQ(first_dialog, quick());
  EXPECT_EQ(1, dtb_test::popup_count("Help_popup"));
}

TEST_F(Help, BackReturnsToTheEarlierHelpAndItsMoreState) {
  show("with volume", "Vol", "Other");
  show("without volume", nullptr, nullptr);
  ASSERT_FALSE(XtIsSensitive(more()));
  ASSERT_TRUE(XtIsSensitive(back()));
  dtb_test::press(back());
  EXPECT_EQ("with volume", take(DtbHelpDialogGetText(quick())));
  EXPECT_EQ("Vol/Other", resource(quick(), DtNhelpVolume));
  EXPECT_TRUE(XtIsSensitive(more()));
  dtb_test::press(more());
  EXPECT_EQ("other text", take(DtbHelpDialogGetText(dtb_test::popup_child("GeneralHelp_popup"))));
}

TEST_F(Help, OverlongVolumeAndLocationIsCutToTheBuffer) {
  std::string volume(150, 'v');
  show("text", volume.c_str(), "Intro");
  std::string stored = resource(quick(), DtNhelpVolume);
  EXPECT_EQ(99u, stored.size());
  EXPECT_EQ(volume.substr(0, 99), stored);
  EXPECT_FALSE(XtIsSensitive(more()));  // the cut lost the '/': nothing to open

  std::string long_location(150, 'l');
  show("text", "Vol", long_location.c_str());
  stored = resource(quick(), DtNhelpVolume);
  EXPECT_EQ(99u, stored.size());
  EXPECT_EQ("Vol/" + long_location.substr(0, 95), stored);
}

TEST_F(Help, HelpOfAModalMessageCanBeUsedDuringTheWait) {
  DtbMessageRecord rec{};
  dtb::UniqueXmString message = dtb::make_xmstring("질문"), ok = dtb::make_xmstring("예");
  rec.dialog_type = XmDIALOG_QUESTION;
  rec.message = message.get();
  rec.action1_label = ok.get();
  rec.show_help = True;
  rec.help.help_text = const_cast<char *>("모달 도움말");
  if (quick() != nullptr) XtUnmanageChild(quick());
  bool help_shown = false, help_closed = false;
  // Real clicks, so that the modal grab decides who may take them.
  auto click_box_button = [](dtb_test::Button which) {
    if (Widget box = dtb_test::shown_message_box()) xs::click(dtb_test::button_of(box, which));
  };
  xs::after(100, [=] { click_box_button(dtb_test::Button::kHelp); });
  xs::after(400, [&] {
    help_shown = quick() != nullptr && XtIsManaged(quick()) && take(DtbHelpDialogGetText(quick())) == "모달 도움말";
    if (quick() != nullptr) xs::click(DtHelpQuickDialogGetChild(quick(), DtHELP_QUICK_CLOSE_BUTTON));
  });
  xs::after(700, [&] {
    help_closed = quick() != nullptr && !XtIsManaged(quick());
    click_box_button(dtb_test::Button::kOk);
  });
  auto finished = std::make_shared<bool>(false);
  xs::after(3000, [finished] {  // a click that went astray must not leave the wait hanging
    if (Widget box = dtb_test::shown_message_box(); box != nullptr && !*finished) xs::send_wm_delete(box);
  });
  EXPECT_EQ(DTB_MODAL_ACTION1, dtb_show_modal_message(xs::toplevel(), &rec, nullptr, nullptr, nullptr));
  *finished = true;
  EXPECT_TRUE(help_shown);
  EXPECT_TRUE(help_closed);
}

TEST_F(Help, NullTextAndNullHelp) {
  show(nullptr, "Vol", "Intro");
  EXPECT_EQ("<null>", resource(quick(), DtNstringData));
  EXPECT_EQ("", take(DtbHelpDialogGetText(quick())));
  dtb_help_dispatch(nullptr, nullptr, nullptr);  // no help record: nothing happens
}

TEST_F(Help, VolumeInfoHasItsOwnDialog) {
  show("text", "Vol", "Intro");
  dtb_test::press(more());
  char volume[] = "Vol", location[] = "Other", missing[] = "Nowhere";
  EXPECT_EQ(0, dtb_show_help_volume_info(volume, location));
  EXPECT_EQ(2, dtb_test::popup_count("GeneralHelp_popup"));
  Widget info_dialog = dtb_test::newest_popup_child("GeneralHelp_popup");
  ASSERT_NE(nullptr, info_dialog);
  EXPECT_NE(dtb_test::popup_child("GeneralHelp_popup"), info_dialog);
  EXPECT_EQ("other text", take(DtbHelpDialogGetText(info_dialog)));
  EXPECT_EQ(0, dtb_show_help_volume_info(missing, location));
  EXPECT_NE(std::string::npos, take(DtbHelpDialogGetText(info_dialog)).find("Nowhere"));
  EXPECT_EQ(0, dtb_show_help_volume_info(volume, missing));
  EXPECT_NE(std::string::npos, take(DtbHelpDialogGetText(info_dialog)).find("Nowhere"));
  EXPECT_EQ(2, dtb_test::popup_count("GeneralHelp_popup"));
}

// The dialog's own texts: English unless the caller or the resource files
// give others. A message is no printf format: only "%s" is filled in.
TEST_F(Help, OwnTextsComeFromTheCallerOrTheResources) {
  Widget top = xs::toplevel();
  XrmDatabase db = XtDatabase(XtDisplay(top));
  XrmPutLineResource(&db, "*translated.backLabelString: 뒤로");
  XrmPutLineResource(&db, "*translated.noVolumeMessage: 도움말 책 %s 없음 %s %n");
  dtb::UniqueXmString close = dtb::make_xmstring("닫기");
  auto label = [](Widget dialog, const char *button) {
    XmString text = nullptr;
    XtVaGetValues(XtNameToWidget(dialog, button), XmNlabelString, &text, nullptr);
    std::string out = take(static_cast<char *>(
        XmStringUnparse(text, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL)));
    XmStringFree(text);
    return out;
  };
  struct {
    const char *name;
    bool caller_close;
    const char *close, *back, *text;
  } cases[] = {{"plain", false, "Close", "Back", "The help volume \"Nowhere\" was not found."},
               {"translated", true, "닫기", "뒤로", "도움말 책 Nowhere 없음 %s %n"}};
  for (const auto &c : cases) {
    Arg args[3];
    Cardinal n = 0;
    XtSetArg(args[n], DtNhelpType, DtHELP_TYPE_TOPIC), ++n;
    XtSetArg(args[n], DtNhelpVolume, "Nowhere"), ++n;
    if (c.caller_close) XtSetArg(args[n], DtNcloseLabelString, close.get()), ++n;
    Widget dialog = DtCreateHelpDialog(top, c.name, args, n);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(c.close, label(dialog, "*closeButton")) << c.name;
    EXPECT_EQ(c.back, label(dialog, "*backButton")) << c.name;
    EXPECT_EQ(c.text, take(DtbHelpDialogGetText(dialog))) << c.name;
    XtDestroyWidget(XtParent(dialog));
  }
}

int g_form_help = 0;
int g_label_help = 0;
void form_help(Widget, XtPointer, XtPointer call_data) { g_form_help += call_data == nullptr ? 1 : 100; }
void label_help(Widget, XtPointer, XtPointer) { ++g_label_help; }

// A window of its own: a form with help, holding a label without it.
struct OnItemWindow {
  Widget shell, form, label, other;
  OnItemWindow() {
    shell = XtVaAppCreateShell("onitem", "DtbTest", topLevelShellWidgetClass, XtDisplay(xs::toplevel()),
                               XmNx, 300, XmNy, 300, XmNwidth, 200, XmNheight, 120, nullptr);
    form = XtVaCreateManagedWidget("form", xmFormWidgetClass, shell, nullptr);
    label = XtVaCreateManagedWidget("label", xmLabelWidgetClass, form, XmNwidth, 80, XmNheight, 40,
                                    XmNrecomputeSize, False, XmNtopAttachment, XmATTACH_FORM, nullptr);
    other = XtVaCreateManagedWidget("other", xmLabelWidgetClass, form, XmNwidth, 80, XmNheight, 40,
                                    XmNrecomputeSize, False, XmNbottomAttachment, XmATTACH_FORM, nullptr);
    XtAddCallback(form, XmNhelpCallback, form_help, nullptr);
    XtRealizeWidget(shell);
    xs::pump_until([this] {
      XWindowAttributes a;
      return XGetWindowAttributes(XtDisplay(label), XtWindow(label), &a) && a.map_state == IsViewable;
    });
  }
  ~OnItemWindow() { XtDestroyWidget(shell); }
};

// The pick-a-widget call waits for the pointer in a loop of its own that
// runs no timers, so the user is played by a child process with its own
// connection. It repeats its action through the test extension every 100 ms
// until the test tells it to stop: actions before the pick grabs the pointer
// fall on windows that ignore them, and the first one after it is the pick.
// (Probing for the grab with a grab of its own could make the pick's fail.)
class FakeUser {
 public:
  template <typename Act>
  explicit FakeUser(Act act) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ != 0) {
      close(fds[0]);
      stop_fd_ = fds[1];
      return;
    }
    close(fds[1]);
    Display *dpy = XOpenDisplay(nullptr);
    pollfd stop{fds[0], POLLIN, 0};
    for (int i = 0; dpy != nullptr && i < 100 && poll(&stop, 1, 100) == 0; ++i) {
      act(dpy);
      XSync(dpy, False);
    }
    if (dpy != nullptr) XCloseDisplay(dpy);
    _exit(0);
  }
  ~FakeUser() {
    if (pid_ <= 0) return;
    close(stop_fd_);  // the child sees the end of the pipe and stops
    int status = 0;
    waitpid(pid_, &status, 0);
  }

 private:
  pid_t pid_ = -1;
  int stop_fd_ = -1;
};

// Runs the pick while a fake user clicks at (x, y) of the root window, or 10
// pixels into the target's window.
void pick_with_click_at(int x, int y) {
  FakeUser user([x, y](Display *d) {
    XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
  });
  dtb_do_onitem_help();
}

void pick_with_click_on(Widget target) {
  Display *dpy = XtDisplay(target);
  Window child;
  int x = 0, y = 0;
  XTranslateCoordinates(dpy, XtWindow(target), DefaultRootWindow(dpy), 10, 10, &x, &y, &child);
  pick_with_click_at(x, y);
}

TEST(OnItemHelp, LabelWithoutHelpRunsItsFormsHelp) {
  OnItemWindow window;
  g_form_help = g_label_help = 0;
  pick_with_click_on(window.label);
  EXPECT_EQ(1, g_form_help);  // run once, with null call data

  // The nearest ancestor with help wins.
  XtAddCallback(window.label, XmNhelpCallback, label_help, nullptr);
  pick_with_click_on(window.label);
  EXPECT_EQ(1, g_label_help);
  EXPECT_EQ(1, g_form_help);
}

TEST(OnItemHelp, ClickOutsideOrWithoutHelpDoesNothing) {
  OnItemWindow window;
  g_form_help = 0;
  pick_with_click_at(1000, 740);  // far from every window of the program: the pick is cancelled
  EXPECT_EQ(0, g_form_help);

  XtRemoveCallback(window.form, XmNhelpCallback, form_help, nullptr);
  pick_with_click_on(window.label);
  EXPECT_EQ(0, g_form_help);
}

TEST(HelpCallback, ForwardsToTheTargetWithNullCallData) {
  OnItemWindow window;
  g_form_help = 0;
  dtb_call_help_callback(window.label, window.form, window.label);
  EXPECT_EQ(1, g_form_help);
  dtb_call_help_callback(window.label, nullptr, nullptr);
  EXPECT_EQ(1, g_form_help);
}

}  // namespace
