// The main window in-process, in both text modes: its widgets and texts, Find,
// and Add, Modify and Delete through the dialog and the delete confirmation.
#include "tests/ui/main_window.h"

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/List.h>
#include <Xm/MessageB.h>
#include <Xm/SashP.h>
#include <Xm/TextF.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "editor/builtin_text.h"

namespace {

const char kHanja[] = "\xc7\xd1\xc0\xda";   // 한자
const char kSajeon[] = "\xbb\xe7\xc0\xfc";  // 사전
const char kHan[] = "\xf9\xd3\xed\xae";     // 漢字
const char kKor[] = "\xf9\xdb\xed\xae";     // 韓字
const char kLei[] = "\xf9\xd8\xed\xae";     // 閑字
const char kHanzi[] = "\xf9\xd3\xed\xad";   // 漢子

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
const char kNoMatchTail[] = "\"\xb4\xc2 \xb8\xc2\xc1\xf6 \xbe\xca\xc0\xbd.";

std::string M(const std::string &euc) { return builtin_text(euc); }  // in the running mode's encoding
std::vector<std::string> M(std::initializer_list<const char *> words) {
  std::vector<std::string> v;
  for (const char *w : words) v.push_back(M(w));
  return v;
}

std::vector<std::string> items(Widget list = W.usrhjd_list) {
  XmStringTable table = nullptr;
  int count = 0;
  XtVaGetValues(list, XmNitems, &table, XmNitemCount, &count, nullptr);
  std::vector<std::string> texts;
  for (int i = 0; i < count; i++) texts.push_back(xs::text(table[i]));
  return texts;
}
std::string footer() { return xs::text_of(W.mainwindow_label, XmNlabelString); }
std::string dialog_footer() { return xs::text_of(D.dialog_label, XmNlabelString); }

long dialog_shells() {
  const CorePart &core = W.mainwindow->core;
  return std::count_if(core.popup_list, core.popup_list + core.num_popups, [](Widget w) {
    return std::string(XtName(w)) == "dtb_gl_main_dialog" && !w->core.being_destroyed;
  });
}

bool shown_whole(Widget label) {
  xs::pump_for(20);
  XtWidgetGeometry preferred = {};
  XtQueryGeometry(label, nullptr, &preferred);
  return label->core.x >= 0 && label->core.x + preferred.width <= XtParent(label)->core.width;
}

void set_text(Widget field, const std::string &text) { XmTextFieldSetString(field, const_cast<char *>(text.c_str())); }
std::string get_text(Widget field) { return xs::taken(XmTextFieldGetString(field)); }

void find(const std::string &euc_reading) {
  set_text(W.textfield, M(euc_reading));
  xs::press(W.Find);
}

// The answer to the delete confirmation, pressed from a timer while Delete waits for it.
struct Answer {
  bool pressed = false, had_cancel = true;
  std::string yes_label, no_label;
};

Answer delete_selected(bool yes) {
  auto answer = std::make_shared<Answer>();  // the timer may outlive this call
  xs::when_shown("dtb_msg_dlg_popup", [answer, yes](Widget box) {
    Widget ok = XmMessageBoxGetChild(box, XmDIALOG_OK_BUTTON), no = XtNameToWidget(box, "action2_button");
    *answer = {true, XtIsManaged(XmMessageBoxGetChild(box, XmDIALOG_CANCEL_BUTTON)) != 0,
               xs::text_of(ok, XmNlabelString), xs::text_of(no, XmNlabelString)};
    xs::click(yes ? ok : no);
  }, W.mainwindow);
  xs::press(W.Delete);
  return *answer;
}

struct Box {
  int x, y, width, height;
};

Box root_box(Widget w) {
  Window child = 0;
  int x = 0, y = 0;
  XTranslateCoordinates(XtDisplay(w), XtWindow(w), DefaultRootWindow(XtDisplay(w)), 0, 0, &x, &y, &child);
  return {x, y, w->core.width, w->core.height};
}

// Without the mode's resource file, as these tests have always run. (With the
// EUC-KR file's font set, 찾기 ends one pixel past the main window's edge.)
class WindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    resource_file_ = false;
    MainWindowTest::SetUp();
    ASSERT_EQ(InsertHanjaWord(0, kHanja, kKor), 0);
  }

  void ok(const char *reading, const std::string &word) {
    if (reading != nullptr) set_text(D.textfield2, M(reading));
    set_text(D.textfield3, M(word));
    xs::press(D.dialog_button1);
  }
  bool stored(const char *word, const char *key = kHanja) { return CheckDic(0, key, word) == 1; }
};

TEST_P(WindowTest, FindFillsBothListsInReverseStoreOrder) {
  for (const char *w : {kHan, kLei}) ASSERT_EQ(InsertHanjaWord(0, kHanja, w), 0);
  for (int i = 0; i < 11; i++) ASSERT_EQ(InsertHanjaWord(0, "\xb0\xa1", std::string{'\xca', char(0xa1 + i)}.c_str()), 0);
  {
    scratch::Env system_as_user("USRDICNAME", system_.c_str());
    for (const char *w : {kHan, kHanzi}) ASSERT_EQ(InsertHanjaWord(0, kHanja, w), 0);
  }
  auto shown = [](int type, const char *key) {  // what the store holds, in reverse
    char rows[10][kRowSize] = {};
    int count = 0;
    GetHanjaWord(type, key, 0, 10, &count, rows);
    std::vector<std::string> words;
    for (int i = count - 1; i >= 0; i--) words.push_back(M(rows[i]));
    return words;
  };
  auto report = [](int user, int system) {
    return M("usrhjd\xbf\xa1 " + std::to_string(user) + "\xb0\xa1\xc1\xf6 \xbf\xcd syshjd\xbf\xa1 " +
             std::to_string(system) + "\xb0\xa1\xc1\xf6\xb0\xa1 \xc0\xd6\xc0\xbd.");
  };
  std::string long_reading;  // 33 syllables: 66 EUC-KR bytes, more than the 64 of a key
  for (int i = 0; i < 33; i++) long_reading += i % 2 ? kSajeon : kHanja;
  for (const std::string &nothing : {long_reading, std::string("abc"), std::string(""), std::string(kSajeon)}) {
    find(kHanja);
    EXPECT_EQ(items(), shown(0, kHanja));
    EXPECT_EQ(items(W.syshjd_list), shown(1, kHanja));
    EXPECT_EQ(footer(), report(3, 2));
    find(nothing);
    EXPECT_TRUE(items().empty() && items(W.syshjd_list).empty()) << nothing;
    EXPECT_EQ(footer(), report(0, 0)) << nothing;
  }
  find("\xb0\xa1");
  EXPECT_EQ(items(), shown(0, "\xb0\xa1"));
  EXPECT_EQ(footer(), report(10, 0));
  ASSERT_EQ(InsertHanjaWord(0, kSajeon, "\xa2\xe6\xb0\xa1"), 0);  // A2E6: no KS X 1001 character
  find(kSajeon);
  EXPECT_EQ(items(), std::vector<std::string>{"<A2E6 B0A1>"});
  scratch::Env no_user_file("USRDICNAME", (dir_ / "missing").c_str());
  find(kHanja);
  EXPECT_TRUE(items().empty());
  EXPECT_EQ(footer(), report(0, 2));
}

TEST_P(WindowTest, AddThroughTheDialog) {
  find(kHanja);
  xs::press(W.Add);
  ASSERT_NE(D.dialog, nullptr);
  Widget shell = D.dialog;
  EXPECT_EQ(get_text(D.textfield2), M(kHanja));
  EXPECT_EQ(get_text(D.textfield3), "");
  ok(nullptr, kHan);
  EXPECT_EQ(dialog_footer(), M("\"" + std::string(kHan) + kAddedTail));
  EXPECT_EQ(items(), M({kHan, kKor}));
  EXPECT_TRUE(stored(kHan) && stored(kKor));
  const char *long_word = "\xd3\xde\xf9\xdb\xda\xc5\xcf\xd0\xd8\xbf\xe1\xa8\xd8\xbf\xe1\xa8";  // 大韓民國萬歲萬歲
  ok("\xb4\xeb\xc7\xd1\xb9\xce\xb1\xb9\xb8\xb8\xbc\xbc\xb8\xb8\xbc\xbc", long_word);  // 대한민국만세만세
  EXPECT_TRUE(shown_whole(D.dialog_label)) << dialog_footer();
  EXPECT_EQ(items(), M({kHan, kKor}));
  EXPECT_TRUE(stored(long_word, "\xb4\xeb\xc7\xd1\xb9\xce\xb1\xb9\xb8\xb8\xbc\xbc\xb8\xb8\xbc\xbc"));
  xs::press(W.Add);
  EXPECT_EQ(D.dialog, shell);
  EXPECT_EQ(get_text(D.textfield3), "");
  EXPECT_EQ(dialog_footer(), " ");
  EXPECT_EQ(dialog_shells(), 1);
}

TEST_P(WindowTest, RefusedAddsWriteNothing) {
  std::string nine_syllables, nine_hanja;  // 18 bytes: more than any stored string
  for (int i = 0; i < 9; i++) nine_syllables += "\xb0\xa1", nine_hanja += "\xca\xa1";
  const struct {
    const char *reading, *word, *report;
  } cases[] = {{kHanja, "\xf9\xd3", kCountsDiffer},
               {kHanja, kKor, nullptr},
               {"ab", "cd", kCannotAdd},
               {nine_syllables.c_str(), nine_hanja.c_str(), kCannotAdd}};
  find(kHanja);
  const std::string before = scratch::read(user_);
  for (const auto &c : cases) {
    xs::press(W.Add);
    ok(c.reading, c.word);
    EXPECT_EQ(dialog_footer(), M(c.report ? c.report : "\"" + std::string(c.word) + kAlreadyTail)) << c.word;
    EXPECT_EQ(scratch::read(user_), before) << c.word;
    EXPECT_EQ(items(), M({kKor})) << c.word;
  }
}

TEST_P(WindowTest, ModifyReplacesTheSelectedEntryOnly) {
  ASSERT_EQ(InsertHanjaWord(0, kHanja, kLei), 0);
  find(kHanja);
  XmListSelectPos(W.usrhjd_list, 2, False);
  xs::press(W.Modify);
  ASSERT_NE(D.dialog, nullptr);
  EXPECT_EQ(get_text(D.textfield2), M(kHanja));
  EXPECT_EQ(get_text(D.textfield3), M(kKor));
  ok(nullptr, kHan);
  EXPECT_EQ(dialog_footer(), M("\"" + std::string(kHan) + kAddedTail));
  EXPECT_EQ(items(), M({kLei, kHan}));
  EXPECT_TRUE(stored(kHan) && stored(kLei));
  EXPECT_FALSE(stored(kKor));
  XmListSelectPos(W.usrhjd_list, 1, False);
  xs::press(W.Modify);
  XmListDeselectAllItems(W.usrhjd_list);
  const std::string before = scratch::read(user_);
  ok(nullptr, kKor);
  EXPECT_EQ(dialog_footer(), M(kSelectEntry));
  xs::press(D.dialog_button3);
  EXPECT_EQ(D.dialog, nullptr);
  EXPECT_EQ(dialog_shells(), 0);
  for (Widget button : {W.Modify, W.Delete}) {
    find(kHanja);
    xs::press(button);  // a confirmation would wait here for ever
    EXPECT_EQ(D.dialog, nullptr) << XtName(button);
    EXPECT_EQ(footer(), M(kSelectEntry)) << XtName(button);
  }
  EXPECT_EQ(scratch::read(user_), before);
}

TEST_P(WindowTest, DeleteAsksAndRemovesOnlyAMatchingEntry) {
  const std::string mismatch = M("\"" + std::string(kSajeon) + "\"\xbf\xcd \"" + kKor + kNoMatchTail);
  std::string long_reading;
  for (int i = 0; i < 40; i++) long_reading += kHanja;
  Answer answer;
  for (int round : {0, 1, 2, 3}) {  // answered 아니오; 예 after the reading changed to 사전, to 40 × 한자; 예
    find(kHanja);
    XmListSelectPos(W.usrhjd_list, 1, False);
    if (round == 1 || round == 2) set_text(W.textfield, M(round == 1 ? kSajeon : long_reading));
    XmProcessTraversal(W.Delete, XmTRAVERSE_CURRENT);  // where a click on it leaves the focus
    xs::pump_for(20);
    const std::string shown = footer(), before = scratch::read(user_);
    answer = delete_selected(round > 0);
    ASSERT_TRUE(answer.pressed) << round;
    if (round < 3) {
      EXPECT_TRUE(round == 2 ? footer().find(M(kNoMatchTail)) != std::string::npos
                             : footer() == (round == 1 ? mismatch : shown)) << footer();
      EXPECT_TRUE(shown_whole(W.mainwindow_label)) << footer();
      EXPECT_EQ(items(), M({kKor})) << round;
      EXPECT_EQ(scratch::read(user_), before) << round;
    }
  }
  EXPECT_EQ(answer.yes_label, M("\xbf\xb9"));
  EXPECT_EQ(answer.no_label, M("\xbe\xc6\xb4\xcf\xbf\xc0"));
  EXPECT_FALSE(answer.had_cancel);
  EXPECT_EQ(footer(), M(kSelectHanja));
  EXPECT_TRUE(items().empty());
  EXPECT_FALSE(stored(kKor));
}

TEST_P(WindowTest, CloseAndEscapeDropTheDialog) {
  for (int way : {1, 2}) {
    find(kHanja);
    xs::press(W.Add);
    ASSERT_NE(D.dialog, nullptr);
    set_text(D.textfield3, M(kHan));
    if (way == 1) xs::send_wm_delete(D.dialog);
    if (way == 2) {
      XSetInputFocus(xs::session().display, XtWindow(D.dialog), RevertToParent, CurrentTime);
      xs::pump_for(20);
      xs::key(XK_Escape);
    }
    xs::pump_until([] { return D.dialog == nullptr; }, 1000);
    EXPECT_EQ(D.dialog, nullptr) << way;
    EXPECT_EQ(dialog_shells(), 0) << way;
  }
  xs::press(W.Add);
  EXPECT_EQ(get_text(D.textfield3), "");
  EXPECT_FALSE(stored(kHan));
}

// Beside the main window wherever that stands: by the corner of the screen,
// where neither right of it nor below it has room, left of it. (The order of
// the sides and the way clear of 한글: and 찾기 are dialog_placement_test's.)
TEST_P(WindowTest, DialogPlacementAndKeyboard) {
  Screen *screen = XtScreen(W.mainwindow);
  const Box main = root_box(W.mainwindow);
  XMoveWindow(xs::session().display, XtWindow(W.mainwindow), WidthOfScreen(screen) - main.width,
              HeightOfScreen(screen) - main.height);
  xs::pump_for(20);
  xs::press(W.Add);
  ASSERT_NE(D.dialog, nullptr);
  const Box m = root_box(W.mainwindow), d = root_box(D.dialog);
  EXPECT_EQ(d.x + d.width, m.x);
  EXPECT_EQ(d.y, m.y);
  Widget default_button = nullptr;
  XtVaGetValues(D.dialog_shellform, XmNdefaultButton, &default_button, nullptr);
  EXPECT_EQ(default_button, D.dialog_button1);
  WidgetList children = nullptr;
  Cardinal count = 0;
  int sashes = 0;
  XtVaGetValues(D.dialog_panedwin, XmNchildren, &children, XmNnumChildren, &count, nullptr);
  for (Cardinal i = 0; i < count; i++) {
    if (!XmIsSash(children[i])) continue;
    EXPECT_FALSE(reinterpret_cast<XmPrimitiveWidget>(children[i])->primitive.traversal_on);
    sashes++;
  }
  EXPECT_GE(sashes, 2);
}

INSTANTIATE_TEST_SUITE_P(Modes, WindowTest, ::testing::Values("ko_KR.UTF-8", "ko_KR.EUC"),
                         [](const auto &info) { return std::string(info.param[6] == 'U' ? "utf8" : "euc"); });

}  // namespace
