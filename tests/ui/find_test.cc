// Find from the main window: both lists in reverse store order, the report,
// and the focus hints, in both text modes.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <Xm/PushB.h>
#include <Xm/TextF.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/support/scratch.h"
#include "tests/ui/gui_fixture.h"
#include "ui/gl_main_ui.h"

namespace {

DtbGlMainMainwindowInfo &W = dtb_gl_main_mainwindow;

const char kHanja[] = "\xc7\xd1\xc0\xda";    // 한자
const char kGa[] = "\xb0\xa1";                // 가
const char kUnregistered[] = "\xbb\xe7\xc0\xfc";  // 사전
const char *const kUserWords[] = {"\xf9\xd3\xed\xae", "\xf9\xdb\xed\xae", "\xf9\xd8\xed\xae"};  // 漢字 韓字 閑字
const char *const kSystemWords[] = {"\xf9\xd3\xed\xae", "\xf9\xd3\xed\xad"};                   // 漢字 漢子

std::string in_mode(const std::string &euc, const std::string &lang) { return ui_test::euc_in_mode(euc, lang); }

// A user and a system dictionary in a private directory, written by the store.
class Dictionaries {
 public:
  void add(bool system, const char *key, const char *value) {
    setenv("USRDICNAME", (system ? system_ : user_).c_str(), 1);
    ASSERT_GE(InsertHanjaWord(0, key, value), 0);
  }
  void use(bool with_user_file = true) {
    setenv("USRDICNAME", with_user_file ? user_.c_str() : (dir_ / "missing").c_str(), 1);
    setenv("SYSDICNAME", system_.c_str(), 1);
  }

 private:
  scratch::Dir dir_{"glosset-find"};
  const std::string user_ = dir_ / "usrhjd", system_ = dir_ / "syshjd";
};

// What the store returns for `key`, in its order, then reversed and in the
// running mode's encoding: what the list must show from top to bottom.
std::vector<std::string> expected_list(int type, const char *key, const std::string &lang) {
  char rows[10][kRowSize] = {};
  int count = 0;
  GetHanjaWord(type, key, 0, 10, &count, rows);
  std::vector<std::string> words;
  for (int i = count - 1; i >= 0; i--) words.push_back(in_mode(rows[i], lang));
  return words;
}

std::string report(int user, int system, const std::string &lang) {
  // usrhjd에 %d가지 와 syshjd에 %d가지가 있음.
  std::string euc = "usrhjd\xbf\xa1 " + std::to_string(user) + "\xb0\xa1\xc1\xf6 \xbf\xcd syshjd\xbf\xa1 " +
                    std::to_string(system) + "\xb0\xa1\xc1\xf6\xb0\xa1 \xc0\xd6\xc0\xbd.";
  return in_mode(euc, lang);
}

void find(const std::string &field_text) {
  XmTextFieldSetString(W.textfield, const_cast<char *>(field_text.c_str()));
  XmPushButtonCallbackStruct cbs = {};
  cbs.reason = XmCR_ACTIVATE;
  XtCallCallbacks(W.Find, XmNactivateCallback, &cbs);
}

class FindTest : public ::testing::TestWithParam<const char *> {
 protected:
  void SetUp() override {
    for (const char *w : kUserWords) dics_.add(false, kHanja, w);
    for (const char *w : kSystemWords) dics_.add(true, kHanja, w);
    dics_.use();
    ui_test::start_main_window(lang_.c_str(), nullptr);
  }
  void TearDown() override { ui_test::stop_main_window(); }

  std::string lang_ = GetParam();
  Dictionaries dics_;
};

TEST_P(FindTest, FillsBothListsInReverseStoreOrderAndReports) {
  find(in_mode(kHanja, lang_));
  std::vector<std::string> user = expected_list(0, kHanja, lang_);
  std::vector<std::string> system = expected_list(1, kHanja, lang_);
  ASSERT_EQ(user.size(), 3u);
  ASSERT_EQ(system.size(), 2u);
  EXPECT_EQ(ui_test::list_items(W.usrhjd_list), user);
  EXPECT_EQ(ui_test::list_items(W.syshjd_list), system);
  EXPECT_EQ(ui_test::label_text(W.mainwindow_label), report(3, 2, lang_));
}

TEST_P(FindTest, SecondFindLeavesNoOldItems) {
  find(in_mode(kHanja, lang_));
  find(in_mode(kHanja, lang_));
  EXPECT_EQ(ui_test::list_items(W.usrhjd_list), expected_list(0, kHanja, lang_));
  EXPECT_EQ(ui_test::list_items(W.syshjd_list), expected_list(1, kHanja, lang_));
  find(in_mode(kUnregistered, lang_));
  EXPECT_TRUE(ui_test::list_items(W.usrhjd_list).empty());
  EXPECT_TRUE(ui_test::list_items(W.syshjd_list).empty());
  EXPECT_EQ(ui_test::label_text(W.mainwindow_label), report(0, 0, lang_));
}

TEST_P(FindTest, MissingUserDictionaryCountsZero) {
  dics_.use(/*with_user_file=*/false);
  find(in_mode(kHanja, lang_));
  EXPECT_TRUE(ui_test::list_items(W.usrhjd_list).empty());
  EXPECT_EQ(ui_test::list_items(W.syshjd_list).size(), 2u);
  EXPECT_EQ(ui_test::label_text(W.mainwindow_label), report(0, 2, lang_));
}

TEST_P(FindTest, ShowsAtMostTenWords) {
  // 가 with eleven one-character Hanja (KS X 1001 codes CAA1 to CAAB).
  for (int i = 0; i < 11; i++) {
    const char word[] = {'\xca', static_cast<char>(0xa1 + i), '\0'};
    dics_.add(false, kGa, word);
  }
  dics_.use();
  find(in_mode(kGa, lang_));
  std::vector<std::string> user = expected_list(0, kGa, lang_);
  ASSERT_EQ(user.size(), 10u);
  EXPECT_EQ(ui_test::list_items(W.usrhjd_list), user);
  EXPECT_EQ(ui_test::label_text(W.mainwindow_label), report(10, 0, lang_));
}

TEST_P(FindTest, ReadingsWithoutAKeyFindNothing) {
  std::string long_reading;  // 33 syllables: 66 EUC-KR bytes, more than the 64 of a key
  for (int i = 0; i < 33; i++) long_reading += kHanja + (i % 2) * 2;
  const std::string cases[] = {in_mode(long_reading, lang_), "abc", ""};
  for (const std::string &text : cases) {
    find(in_mode(kHanja, lang_));
    find(text);
    EXPECT_TRUE(ui_test::list_items(W.usrhjd_list).empty()) << text;
    EXPECT_TRUE(ui_test::list_items(W.syshjd_list).empty()) << text;
    EXPECT_EQ(ui_test::label_text(W.mainwindow_label), report(0, 0, lang_)) << text;
  }
}

TEST_P(FindTest, FocusHintsOfTheMainField) {
  XmAnyCallbackStruct cbs = {XmCR_FOCUS, nullptr};
  XtCallCallbacks(W.textfield, XmNfocusCallback, &cbs);
  // 한글 스트링을 입력하십시오
  const std::string hint = in_mode(
      "\xc7\xd1\xb1\xdb \xbd\xba\xc6\xae\xb8\xb5\xc0\xbb \xc0\xd4\xb7\xc2\xc7\xcf\xbd\xca\xbd\xc3\xbf\xc0", lang_);
  EXPECT_EQ(ui_test::label_text(W.mainwindow_label), hint);
  cbs.reason = XmCR_LOSING_FOCUS;
  XtCallCallbacks(W.textfield, XmNlosingFocusCallback, &cbs);
  EXPECT_EQ(ui_test::label_text(W.mainwindow_label), " ");
  find(in_mode(kHanja, lang_));
  EXPECT_EQ(ui_test::label_text(W.mainwindow_label), report(3, 2, lang_));
}

INSTANTIATE_TEST_SUITE_P(AllModes, FindTest, ::testing::Values("ko_KR.UTF-8", "ko.UTF-8", "ko", "ko_KR.EUC", "korean"));

}  // namespace
