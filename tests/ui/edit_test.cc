// Add, Modify and Delete through the real widgets of the main window, the
// add/modify dialog and the delete confirmation, in both text modes. After
// each command: the footer bytes, the user list and the user dictionary.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <X11/IntrinsicP.h>
#include <X11/CoreP.h>
#include <Xm/List.h>
#include <Xm/PanedW.h>
#include <Xm/SashP.h>
#include <Xm/MessageB.h>
#include <Xm/PushB.h>
#include <Xm/TextF.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "editor/hanja_ui_util.h"
#include "tests/support/scratch.h"
#include "tests/support/x_session.h"
#include "tests/ui/gui_fixture.h"
#include "ui/gl_main_ui.h"

namespace {

DtbGlMainMainwindowInfo &W = dtb_gl_main_mainwindow;
DtbGlMainDialogInfo &D = dtb_gl_main_dialog;

const char kHanja[] = "\xc7\xd1\xc0\xda";  // 한자
const char kSajeon[] = "\xbb\xe7\xc0\xfc";  // 사전
const char kHan[] = "\xf9\xd3\xed\xae";     // 漢字
const char kKor[] = "\xf9\xdb\xed\xae";     // 韓字
const char kLei[] = "\xf9\xd8\xed\xae";     // 閑字
const char kOne[] = "\xf9\xd3";             // 漢

// Footer texts, EUC-KR, written out independently of the program.
const char kCountsDiffer[] = "\xc7\xd1\xb1\xdb\xbc\xf6\xbf\xcd \xc7\xd1\xc0\xda\xbc\xf6\xb0\xa1 \xc6\xb2\xb8\xb2.";
const char kAlreadyTail[] = "\"\xb4\xc2 \xb9\xfa\xbd\xe1 \xc7\xd1\xc0\xda\xbb\xe7\xc0\xfc\xbf\xa1 \xc0\xd6\xc0\xbd.";
const char kCannotAdd[] = "$HOME/.usrhjd\xbf\xa1 \xb4\xf5\xc7\xd2\xbc\xf6 \xbe\xf8\xc0\xbd.";
const char kAddedTail[] = "\"\xb8\xa6 $HOME/.usrhjd\xbf\xa1 \xb4\xf5\xc7\xdf\xc0\xbd.";
const char kSelectEntry[] =
    "\xbb\xe7\xbf\xeb\xc0\xda \xbb\xe7\xc0\xfc\xbf\xa1\xbc\xad \xc7\xd1 \xb0\xb3\xc0\xc7 \xb1\xe2\xb7\xcf\xc0\xbb "
    "\xbc\xb1\xc5\xc3\xc7\xcf\xbf\xa9\xbe\xdf \xc7\xd5\xb4\xcf\xb4\xd9";
const char kSelectHanja[] =
    ".usrhjd \xb8\xae\xbd\xba\xc6\xae\xbf\xa1\xbc\xad \xc7\xd1\xc0\xda\xb8\xa6 \xbc\xb1\xc5\xc3\xc7\xcf\xbd\xca"
    "\xbd\xc3\xbf\xc0.";
const char kAnd[] = "\"\xbf\xcd \"";
const char kNoMatchTail[] = "\"\xb4\xc2 \xb8\xc2\xc1\xf6 \xbe\xca\xc0\xbd.";
const char kEnterHangul[] =
    "\xc7\xd1\xb1\xdb \xbd\xba\xc6\xae\xb8\xb5\xc0\xbb \xc0\xd4\xb7\xc2\xc7\xcf\xbd\xca\xbd\xc3\xbf\xc0";
const char kEnterHanja[] =
    "\xc7\xd1\xc0\xda \xbd\xba\xc6\xae\xb8\xb5\xc0\xbb \xc0\xd4\xb7\xc2\xc7\xcf\xbd\xca\xbd\xc3\xbf\xc0";

std::string lang_of_test;

// An EUC-KR text in the running mode's encoding.
std::string M(const std::string &euc) { return ui_test::euc_in_mode(euc, lang_of_test); }

// Live add/modify dialogs hanging below the main window's shell.
int dialog_shells() {
  int count = 0;
  for (Cardinal i = 0; i < W.mainwindow->core.num_popups; i++) {
    Widget w = W.mainwindow->core.popup_list[i];
    if (std::string(XtName(w)) == "dtb_gl_main_dialog" && !w->core.being_destroyed) count++;
  }
  return count;
}

std::string added(const char *word) { return M("\"" + std::string(word) + kAddedTail); }

// The label's whole text fits inside its footer: nothing of it is cut off.
bool shown_whole(Widget label) {
  ui_test::flush();
  XtWidgetGeometry preferred = {};
  XtQueryGeometry(label, nullptr, &preferred);
  Position x = 0;
  Dimension footer = 0;
  XtVaGetValues(label, XmNx, &x, nullptr);
  XtVaGetValues(XtParent(label), XmNwidth, &footer, nullptr);
  return x >= 0 && x + preferred.width <= footer;
}

void set_text(Widget field, const std::string &text) {
  XmTextFieldSetString(field, const_cast<char *>(text.c_str()));
}

std::string get_text(Widget field) {
  char *t = XmTextFieldGetString(field);
  std::string s = t;
  XtFree(t);
  return s;
}

// Press a push button as the pointer would: arm, activate, disarm.
void press(Widget button) {
  ASSERT_NE(button, nullptr);
  XtCallActionProc(button, const_cast<char *>("ArmAndActivate"), nullptr, nullptr, 0);
  ui_test::flush();
}

void select_item(int position) {
  XmListSelectPos(W.usrhjd_list, position, False);
  ui_test::flush();
}

// The answer to give the delete confirmation, pressed from a timer while
// Delete waits for it.
struct Answer {
  bool yes = true;
  int polls = 0;
  bool pressed = false;
  bool had_cancel = true;
  std::string yes_label, no_label;
};

void answer_confirmationCB(XtPointer data, XtIntervalId *) {
  auto *answer = static_cast<Answer *>(data);
  Widget box = XtNameToWidget(W.mainwindow, "*dtb_msg_dlg");
  if (box == nullptr || !XtIsManaged(box)) {
    // Not up yet; give up after two seconds rather than hang the suite.
    if (++answer->polls < 100) XtAppAddTimeOut(ui_test::app(), 20, answer_confirmationCB, data);
    return;
  }
  Widget yes = XmMessageBoxGetChild(box, XmDIALOG_OK_BUTTON);
  Widget no = XtNameToWidget(box, "action2_button");
  answer->had_cancel = XtIsManaged(XmMessageBoxGetChild(box, XmDIALOG_CANCEL_BUTTON));
  answer->yes_label = ui_test::label_text(yes);
  answer->no_label = ui_test::label_text(no);
  answer->pressed = true;
  Widget button = answer->yes ? yes : no;
  if (XmIsGadget(button)) {
    // The box's own buttons are gadgets, which have no actions of their own.
    XmPushButtonCallbackStruct cbs = {};
    cbs.reason = XmCR_ACTIVATE;
    XtCallCallbacks(button, XmNactivateCallback, &cbs);
  } else {
    XtCallActionProc(button, const_cast<char *>("ArmAndActivate"), nullptr, nullptr, 0);
  }
}

class EditTest : public ::testing::TestWithParam<const char *> {
 protected:
  void SetUp() override {
    lang_of_test = GetParam();
    ASSERT_EQ(InsertHanjaWord(0, kHanja, kKor), 0);
    ui_test::start_main_window(GetParam(), ui_test::build_nlspath().c_str());
  }
  void TearDown() override { ui_test::stop_main_window(); }

  void find(const char *euc_reading) {
    set_text(W.textfield, M(euc_reading));
    press(W.Find);
  }
  // Open the dialog for Add with the main field's reading and press OK with `word`.
  void add(const char *euc_word) {
    press(W.Add);
    ASSERT_NE(D.textfield3, nullptr);
    set_text(D.textfield3, M(euc_word));
    press(D.dialog_button1);
  }
  void delete_selected(bool yes, Answer *answer) {
    answer->yes = yes;
    XtAppAddTimeOut(ui_test::app(), 20, answer_confirmationCB, answer);
    press(W.Delete);
  }

  bool stored(const char *key, const char *word) { return CheckDic(0, key, word) == 1; }
  std::string file_bytes() {
    std::ifstream in(user_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> items() { return ui_test::list_items(W.usrhjd_list); }
  std::vector<std::string> in_mode(std::initializer_list<const char *> words) {
    std::vector<std::string> v;
    for (const char *w : words) v.push_back(M(w));
    return v;
  }

  scratch::Dir dir_{"glosset-edit"};
  const std::string user_ = dir_ / "usrhjd";
  scratch::Env user_env_{"USRDICNAME", user_.c_str()};
  scratch::Env system_env_{"SYSDICNAME", (dir_ / "missing").c_str()};
};

TEST_P(EditTest, AddOpensTheDialogPresetFromTheMainField) {
  find(kHanja);
  press(W.Add);
  ASSERT_NE(D.dialog, nullptr);
  EXPECT_TRUE(XtIsManaged(D.dialog_shellform));
  EXPECT_EQ(get_text(D.textfield2), M(kHanja));
  EXPECT_EQ(get_text(D.textfield3), "");
  EXPECT_EQ(function, 1);
}

TEST_P(EditTest, AddWithTheShownReadingPutsTheWordOnTop) {
  find(kHanja);
  add(kHan);
  EXPECT_EQ(ui_test::label_text(D.dialog_label), added(kHan));
  EXPECT_EQ(items(), in_mode({kHan, kKor}));
  EXPECT_TRUE(stored(kHanja, kHan));
  EXPECT_TRUE(stored(kHanja, kKor));
  // The dialog stays open after OK.
  EXPECT_TRUE(XtIsManaged(D.dialog_shellform));
}

TEST_P(EditTest, ReportsAreShownWhole) {
  const char kReading[] = "\xb4\xeb\xc7\xd1\xb9\xce\xb1\xb9\xb8\xb8\xbc\xbc\xb8\xb8\xbc\xbc";  // 대한민국만세만세
  find(kReading);
  press(W.Add);
  set_text(D.textfield3, M("\xd3\xde\xf9\xdb\xda\xc5\xcf\xd0\xd8\xbf\xe1\xa8\xd8\xbf\xe1\xa8"));  // 大韓民國萬歲萬歲
  press(D.dialog_button1);
  EXPECT_TRUE(shown_whole(D.dialog_label)) << ui_test::label_text(D.dialog_label);
  // The prompt to select a record, in the dialog and in the main window.
  select_item(1);
  press(W.Modify);
  set_text(D.textfield3, M("\xf9\xdb\xd3\xde\xda\xc5\xcf\xd0\xd8\xbf\xe1\xa8\xd8\xbf\xe1\xa8"));  // 韓大民國萬歲萬歲
  XmListDeselectAllItems(W.usrhjd_list);
  press(D.dialog_button1);
  EXPECT_EQ(ui_test::label_text(D.dialog_label), M(kSelectEntry));
  EXPECT_TRUE(shown_whole(D.dialog_label));
  // A Delete whose 40-syllable reading no longer matches: shortened, whole.
  std::string long_reading;
  for (int i = 0; i < 40; i++) long_reading += kHanja;
  find(kHanja);
  select_item(1);
  set_text(W.textfield, M(long_reading));
  XmProcessTraversal(W.Delete, XmTRAVERSE_CURRENT);  // where a click on it leaves the focus
  Answer answer;
  delete_selected(true, &answer);
  EXPECT_TRUE(shown_whole(W.mainwindow_label)) << ui_test::label_text(W.mainwindow_label);
  EXPECT_NE(ui_test::label_text(W.mainwindow_label).find(M(kNoMatchTail)), std::string::npos)
      << ui_test::label_text(W.mainwindow_label);
}

TEST_P(EditTest, AddWithAnotherReadingLeavesTheListAlone) {
  find(kSajeon);
  press(W.Add);
  set_text(D.textfield2, M(kHanja));
  set_text(D.textfield3, M(kHan));
  press(D.dialog_button1);
  EXPECT_EQ(ui_test::label_text(D.dialog_label), added(kHan));
  EXPECT_TRUE(items().empty());
  EXPECT_TRUE(stored(kHanja, kHan));
}

struct Refusal {
  const char *name;
  const char *reading;  // EUC-KR, or ASCII
  const char *word;
  bool duplicate;       // the expected report: duplicate, or cannot add
  bool counts_differ;
};

TEST_P(EditTest, RefusedAddsWriteNothing) {
  std::string nine_syllables, nine_hanja;  // 18 bytes: more than any stored string
  for (int i = 0; i < 9; i++) {
    nine_syllables += "\xb0\xa1";
    nine_hanja += "\xca\xa1";
  }
  const Refusal cases[] = {
      {"length", kHanja, kOne, false, true},
      {"duplicate", kHanja, kKor, true, false},
      {"ascii", "ab", "cd", false, false},
      {"too long", nine_syllables.c_str(), nine_hanja.c_str(), false, false},
  };
  find(kHanja);
  const std::string before = file_bytes();
  for (const Refusal &c : cases) {
    press(W.Add);
    set_text(D.textfield2, M(c.reading));
    set_text(D.textfield3, M(c.word));
    press(D.dialog_button1);
    std::string expected = c.counts_differ ? M(kCountsDiffer)
                           : c.duplicate   ? M("\"" + std::string(c.word) + kAlreadyTail)
                                           : M(kCannotAdd);
    EXPECT_EQ(ui_test::label_text(D.dialog_label), expected) << c.name;
    EXPECT_EQ(file_bytes(), before) << c.name;
    EXPECT_EQ(items(), in_mode({kKor})) << c.name;
  }
}

TEST_P(EditTest, ModifyReplacesTheSelectedEntry) {
  InsertHanjaWord(0, kHanja, kLei);
  find(kHanja);
  ASSERT_EQ(items(), in_mode({kLei, kKor}));
  select_item(2);
  press(W.Modify);
  ASSERT_NE(D.dialog, nullptr);
  EXPECT_EQ(function, 2);
  EXPECT_EQ(get_text(D.textfield2), M(kHanja));
  EXPECT_EQ(get_text(D.textfield3), M(kKor));
  set_text(D.textfield3, M(kHan));
  press(D.dialog_button1);
  EXPECT_EQ(ui_test::label_text(D.dialog_label), added(kHan));
  EXPECT_EQ(items(), in_mode({kLei, kHan}));
  EXPECT_TRUE(stored(kHanja, kHan));
  EXPECT_FALSE(stored(kHanja, kKor));
  EXPECT_TRUE(stored(kHanja, kLei));
}

TEST_P(EditTest, ModifyOkAfterTheSelectionWentAwayChangesNothing) {
  find(kHanja);
  select_item(1);
  press(W.Modify);
  set_text(D.textfield3, M(kHan));
  XmListDeselectAllItems(W.usrhjd_list);
  const std::string before = file_bytes();
  press(D.dialog_button1);
  EXPECT_EQ(ui_test::label_text(D.dialog_label), M(kSelectEntry));
  EXPECT_EQ(file_bytes(), before);
  EXPECT_EQ(items(), in_mode({kKor}));
}

TEST_P(EditTest, DeleteAnsweredYesRemovesTheEntry) {
  find(kHanja);
  select_item(1);
  Answer answer;
  delete_selected(true, &answer);
  ASSERT_TRUE(answer.pressed);
  EXPECT_EQ(answer.yes_label, M("\xbf\xb9"));             // 예
  EXPECT_EQ(answer.no_label, M("\xbe\xc6\xb4\xcf\xbf\xc0"));  // 아니오
  EXPECT_FALSE(answer.had_cancel);
  EXPECT_EQ(ui_test::label_text(W.mainwindow_label), M(kSelectHanja));
  EXPECT_TRUE(items().empty());
  EXPECT_FALSE(stored(kHanja, kKor));
}

// Deletes that must leave the list and the file as they were: answered 아니오,
// or answered 예 after the main reading no longer matches the entry.
TEST_P(EditTest, DeletesThatChangeNothing) {
  const std::string mismatch = M("\"" + std::string(kSajeon) + kAnd + kKor + kNoMatchTail);
  for (bool reading_changed : {false, true}) {
    find(kHanja);
    const std::string footer = ui_test::label_text(W.mainwindow_label);
    select_item(1);
    if (reading_changed) set_text(W.textfield, M(kSajeon));
    const std::string before = file_bytes();
    Answer answer;
    delete_selected(reading_changed, &answer);
    ASSERT_TRUE(answer.pressed) << reading_changed;
    EXPECT_EQ(ui_test::label_text(W.mainwindow_label), reading_changed ? mismatch : footer) << reading_changed;
    EXPECT_EQ(items(), in_mode({kKor})) << reading_changed;
    EXPECT_EQ(file_bytes(), before) << reading_changed;
  }
}

TEST_P(EditTest, ModifyOrDeleteWithNothingSelectedOnlyPrompts) {
  for (Widget button : {W.Modify, W.Delete}) {
    find(kHanja);
    press(button);  // a confirmation would wait here for ever
    EXPECT_EQ(D.dialog, nullptr) << XtName(button);
    EXPECT_EQ(ui_test::label_text(W.mainwindow_label), M(kSelectEntry)) << XtName(button);
    EXPECT_TRUE(stored(kHanja, kKor)) << XtName(button);
  }
}

TEST_P(EditTest, CancelThenAFreshAdd) {
  find(kHanja);
  press(W.Add);
  set_text(D.textfield3, M(kHan));
  press(D.dialog_button3);
  EXPECT_EQ(D.dialog, nullptr);
  EXPECT_EQ(dialog_shells(), 0);
  press(W.Add);
  ASSERT_NE(D.dialog, nullptr);
  EXPECT_EQ(dialog_shells(), 1);
  EXPECT_EQ(get_text(D.textfield3), "");
  EXPECT_EQ(get_text(D.textfield2), M(kHanja));
  EXPECT_FALSE(stored(kHanja, kHan));
}

TEST_P(EditTest, SecondAddOrModifyReusesTheOpenDialog) {
  find(kHanja);
  press(W.Add);
  Widget shell = D.dialog;
  set_text(D.textfield3, M(kHan));
  press(D.dialog_button1);  // a report in the footer
  press(W.Add);
  EXPECT_EQ(D.dialog, shell);
  EXPECT_EQ(get_text(D.textfield3), "");
  EXPECT_EQ(ui_test::label_text(D.dialog_label), " ");
  select_item(2);
  press(W.Modify);
  EXPECT_EQ(D.dialog, shell);
  EXPECT_EQ(function, 2);
  EXPECT_EQ(get_text(D.textfield3), M(kKor));
  EXPECT_EQ(dialog_shells(), 1);
}

TEST_P(EditTest, WindowManagerCloseActsLikeCancel) {
  press(W.Add);
  Widget shell = D.dialog;
  ASSERT_TRUE(XtIsRealized(shell));
  xs::send_wm_delete(shell);
  ui_test::flush();
  EXPECT_EQ(D.dialog, nullptr);
  EXPECT_EQ(dialog_shells(), 0);
  press(W.Add);  // and a new one opens
  EXPECT_NE(D.dialog, nullptr);
}

struct Box {
  int x, y, width, height;
  bool overlaps(const Box &o) const {
    return x < o.x + o.width && o.x < x + width && y < o.y + o.height && o.y < y + height;
  }
};

Box root_box(Widget w) {
  Window child = 0;
  int x = 0, y = 0;
  XTranslateCoordinates(XtDisplay(w), XtWindow(w), DefaultRootWindow(XtDisplay(w)), 0, 0, &x, &y, &child);
  Dimension width = 0, height = 0;
  XtVaGetValues(w, XmNwidth, &width, XmNheight, &height, nullptr);
  return {x, y, width, height};
}

// The dialog opens beside the main window wherever that stands: right of it,
// below it, or left of it by the corner of the screen, never over 한글: or 찾기.
TEST_P(EditTest, DialogOpensBesideTheMainWindow) {
  enum Side { right, below, left };
  Screen *screen = XtScreen(W.mainwindow);
  const Box main = root_box(W.mainwindow);
  const struct {
    int x, y;
    Side side;
  } cases[] = {{0, 0, right},
               {WidthOfScreen(screen) - main.width, 0, below},
               {WidthOfScreen(screen) - main.width, HeightOfScreen(screen) - main.height, left}};
  for (const auto &c : cases) {
    XMoveWindow(ui_test::display(), XtWindow(W.mainwindow), c.x, c.y);
    ui_test::flush();
    press(W.Add);
    ASSERT_NE(D.dialog, nullptr);
    const Box m = root_box(W.mainwindow), d = root_box(D.dialog);
    EXPECT_FALSE(d.overlaps(root_box(W.textfield)) || d.overlaps(root_box(W.Find))) << c.side;
    EXPECT_FALSE(d.overlaps(m)) << c.side;
    const int edge = c.side == right ? d.x : c.side == below ? d.y : d.x + d.width;
    EXPECT_EQ(edge, c.side == right ? m.x + m.width : c.side == below ? m.y + m.height : m.x) << c.side;
    press(D.dialog_button3);
  }
}

TEST_P(EditTest, EscapeInTheDialogCancels) {
  press(W.Add);
  ASSERT_NE(D.dialog, nullptr);
  Display *d = ui_test::display();
  XSetInputFocus(d, XtWindow(D.dialog), RevertToParent, CurrentTime);
  ui_test::flush();
  const KeyCode escape = XKeysymToKeycode(d, XK_Escape);
  XTestFakeKeyEvent(d, escape, True, CurrentTime);
  XTestFakeKeyEvent(d, escape, False, CurrentTime);
  for (int i = 0; i < 100 && D.dialog != nullptr; i++) {
    usleep(10000);
    ui_test::flush();
  }
  EXPECT_EQ(D.dialog, nullptr);
  EXPECT_EQ(dialog_shells(), 0);
}

TEST_P(EditTest, FindStillWorksWhileTheDialogIsOpen) {
  press(W.Add);
  find(kHanja);
  EXPECT_EQ(items(), in_mode({kKor}));
}

TEST_P(EditTest, FocusHintsOfTheDialogFields) {
  press(W.Add);
  const std::string main_footer = ui_test::label_text(W.mainwindow_label);
  const std::pair<Widget, const char *> rows[] = {{D.textfield2, kEnterHangul}, {D.textfield3, kEnterHanja}};
  for (const auto &[field, hint] : rows) {
    XmAnyCallbackStruct cbs = {XmCR_FOCUS, nullptr};
    XtCallCallbacks(field, XmNfocusCallback, &cbs);
    EXPECT_EQ(ui_test::label_text(D.dialog_label), M(hint)) << XtName(field);
    cbs.reason = XmCR_LOSING_FOCUS;
    XtCallCallbacks(field, XmNlosingFocusCallback, &cbs);
    EXPECT_EQ(ui_test::label_text(D.dialog_label), " ") << XtName(field);
  }
  // The main window's footer is not touched by the dialog's hints.
  EXPECT_EQ(ui_test::label_text(W.mainwindow_label), main_footer);
}

TEST_P(EditTest, DialogLayout) {
  press(W.Add);
  ASSERT_NE(D.dialog_panedwin, nullptr);
  // Built once per record: a second initialize without clearing adds nothing.
  DtbGlMainDialogInfo copy = D;
  EXPECT_EQ(dtb_gl_main_dialog_initialize(&D, W.mainwindow), 0);
  EXPECT_EQ(std::memcmp(&copy, &D, sizeof D), 0);
  EXPECT_EQ(dialog_shells(), 1);

  Widget default_button = nullptr;
  XtVaGetValues(D.dialog_shellform, XmNdefaultButton, &default_button, nullptr);
  EXPECT_EQ(default_button, D.dialog_button1);
  int max2 = 0, max3 = 0;
  XtVaGetValues(D.textfield2, XmNmaxLength, &max2, nullptr);
  XtVaGetValues(D.textfield3, XmNmaxLength, &max3, nullptr);
  EXPECT_EQ(max2, 20);
  EXPECT_EQ(max3, 80);

  // Taller dialog: only the fields' pane grows.
  Dimension panel = 0, footer = 0, form = 0, form_after = 0, height = 0;
  XtVaGetValues(D.dialog_button_panel, XmNheight, &panel, nullptr);
  XtVaGetValues(D.dialog_footer, XmNheight, &footer, nullptr);
  XtVaGetValues(D.dialog_form, XmNheight, &form, nullptr);
  XtVaGetValues(D.dialog_shellform, XmNheight, &height, nullptr);
  EXPECT_EQ(panel, 48);
  EXPECT_EQ(footer, 28);
  XtVaSetValues(D.dialog, XmNheight, height + 60, nullptr);
  ui_test::flush();
  XtVaGetValues(D.dialog_form, XmNheight, &form_after, nullptr);
  Dimension panel_after = 0, footer_after = 0;
  XtVaGetValues(D.dialog_button_panel, XmNheight, &panel_after, nullptr);
  XtVaGetValues(D.dialog_footer, XmNheight, &footer_after, nullptr);
  EXPECT_EQ(panel_after, 48);
  EXPECT_EQ(footer_after, 28);
  EXPECT_GT(form_after, form);

  // No sash takes the keyboard focus.
  WidgetList children = nullptr;
  Cardinal count = 0;
  int sashes = 0;
  XtVaGetValues(D.dialog_panedwin, XmNchildren, &children, XmNnumChildren, &count, nullptr);
  for (Cardinal i = 0; i < count; i++) {
    if (!XmIsSash(children[i])) continue;
    sashes++;
    Boolean traversal = True;
    XtVaGetValues(children[i], XmNtraversalOn, &traversal, nullptr);
    EXPECT_FALSE(traversal);
  }
  EXPECT_GE(sashes, 2);  // one per pane boundary at least
}

INSTANTIATE_TEST_SUITE_P(Modes, EditTest, ::testing::Values("ko_KR.UTF-8", "ko_KR.EUC"),
                         [](const auto &info) {
                           std::string name = info.param;
                           for (char &ch : name) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

}  // namespace
