// Add, Modify and Delete without widgets: key making and its bounds, the
// report buffer, and the store results the operations turn into reports.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "editor/hanja_edit.h"
#include "tests/support/scratch.h"

namespace {

const char kHanjaUtf8[] = "한자";
const char kHanjaEuc[] = "\xc7\xd1\xc0\xda";
const char kKorEuc[] = "\xf9\xdb\xed\xae";  // 韓字
const char kHanEuc[] = "\xf9\xd3\xed\xae";  // 漢字

std::string repeat(const std::string &s, int n) {
  std::string out;
  for (int i = 0; i < n; i++) out += s;
  return out;
}

// Whether `s` is whole characters of the mode: no UTF-8 sequence and no
// EUC-KR pair cut in two.
bool whole_characters(const std::string &s, bool utf8) {
  for (size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    size_t width = b < 0x80 ? 1 : utf8 ? (b >= 0xe0 ? 3 : 2) : 2;
    if (i + width > s.size()) return false;
    i += width;
  }
  return true;
}

struct KeyCase {
  const char *name;
  const char *lang;
  std::string text;
  bool ok;
  std::string euc;
};

TEST(EditKey, ConvertsOrRefuses) {
  const KeyCase cases[] = {
      {"utf8 reading", "ko_KR.UTF-8", kHanjaUtf8, true, kHanjaEuc},
      {"utf8 ascii", "ko_KR.UTF-8", "ab", false, ""},
      {"utf8 empty", "ko.UTF-8", "", false, ""},
      {"utf8 49 syllables fit", "ko_KR.UTF-8", repeat("가", 49), true, repeat("\xb0\xa1", 49)},
      {"utf8 50 syllables do not", "ko_KR.UTF-8", repeat("가", 50), false, ""},
      {"utf8 a byte 0xFE", "ko_KR.UTF-8", "檢査", true, "\xcb\xfe\xde\xdb"},
      {"euc reading", "ko_KR.EUC", kHanjaEuc, true, kHanjaEuc},
      {"euc a byte 0xFE", "ko_KR.EUC", "\xcb\xfe\xde\xdb", true, "\xcb\xfe\xde\xdb"},
      {"euc ascii", "ko", "ab", false, ""},
      {"euc mixed", "korean", std::string(kHanjaEuc) + "a", false, ""},
      {"euc outside the two-byte code", "ko", "\x81\x41", false, ""},
      {"euc 49 pairs fit", "ko", repeat("\xb0\xa1", 49), true, repeat("\xb0\xa1", 49)},
      {"euc 50 pairs do not", "ko", repeat("\xb0\xa1", 50), false, ""},
  };
  scratch::Env lang("LANG", nullptr);
  for (const KeyCase &c : cases) {
    lang.set(c.lang);
    std::string euc = "stale";
    EXPECT_EQ(edit_key(c.text, &euc), c.ok) << c.name;
    EXPECT_EQ(euc, c.euc) << c.name;
  }
}

struct FitCase {
  const char *lang;
  int syllables;  // of the reading
  bool shortened;
};

TEST(FitReport, ShortensInsertedWordsInTheMiddleAndKeepsTheSentence) {
  const FitCase cases[] = {
      {"ko_KR.UTF-8", 10, false}, {"ko_KR.UTF-8", 40, true}, {"ko_KR.EUC", 10, false}, {"ko_KR.EUC", 80, true}};
  scratch::Env lang("LANG", nullptr);
  for (const FitCase &c : cases) {
    lang.set(c.lang);
    const bool utf8 = std::string(c.lang).find("UTF") != std::string::npos;
    auto m = [utf8](const char *utf8_text, const char *euc_text) { return std::string(utf8 ? utf8_text : euc_text); };
    const std::string reading = m("가", "\xb0\xa1") + repeat(m("한", "\xc7\xd1"), c.syllables - 2) + m("나", "\xb3\xaa");
    const std::string word = m("漢字", kHanEuc), tail = m("\"는 맞지 않음.", "\"\xb4\xc2 \xb8\xc2\xc1\xf6 \xbe\xca\xc0\xbd.");
    const ReportPart parts[] = {{"\"", false}, {reading, true}, {"\" & \"", false}, {word, true}, {tail, false}};
    const std::string r = fit_report(parts);
    EXPECT_LE(r.size(), kEditBufferSize - 1) << c.lang << " " << c.syllables;
    EXPECT_TRUE(whole_characters(r, utf8));
    EXPECT_EQ(r.compare(0, 1 + m("가", "..").size(), "\"" + m("가", "\xb0\xa1")), 0) << r;
    EXPECT_NE(r.find(m("나", "\xb3\xaa") + "\" & \"" + word + tail), std::string::npos) << r;
    EXPECT_EQ(r.find(m("…", "\xa1\xa6")) != std::string::npos, c.shortened) << r;
    if (!c.shortened) {
      EXPECT_EQ(r, "\"" + reading + "\" & \"" + word + tail);
    }
  }
}

class EditStore : public ::testing::Test {
 protected:
  scratch::Dir dir_{"glosset-hedit"};
  std::string user_ = dir_ / "usrhjd";
  scratch::Env usrdicname_{"USRDICNAME", user_.c_str()};
  scratch::Env lang_{"LANG", "ko_KR.EUC"};
};

TEST_F(EditStore, ModifyOfAnUnregisteredOldWordAddsTheNewOne) {
  ASSERT_EQ(InsertHanjaWord(0, kHanjaEuc, kKorEuc), 0);
  const std::string old_word = kHanEuc;  // shown, but not in the file
  EditResult r = modify_pair(kHanjaEuc, &old_word, "\xf9\xd8\xed\xae", {});
  EXPECT_EQ(r.status, EditStatus::changed);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, "\xf9\xd8\xed\xae"), 1);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kKorEuc), 1);
}

TEST_F(EditStore, DeleteOfAMissingDictionaryKeepsTheEntryShown) {
  DeleteResult r = delete_pair(kHanjaEuc, kKorEuc);  // no file at all
  EXPECT_EQ(r.status, DeleteStatus::refused);
  // $HOME/.usrhjd에서 지울수 없음.
  EXPECT_EQ(r.report, "$HOME/.usrhjd\xbf\xa1\xbc\xad \xc1\xf6\xbf\xef\xbc\xf6 \xbe\xf8\xc0\xbd.");
  EXPECT_EQ(access(user_.c_str(), F_OK), -1);
}

TEST_F(EditStore, LongReadingsAreReportedWithinTheBuffer) {
  ASSERT_EQ(InsertHanjaWord(0, kHanjaEuc, kKorEuc), 0);
  for (const char *lang : {"ko_KR.EUC", "ko_KR.UTF-8"}) {
    lang_.set(lang);
    const bool utf8 = std::string(lang).find("UTF") != std::string::npos;
    std::string reading = utf8 ? repeat("가", 80) : repeat("\xb0\xa1", 80);
    DeleteResult r = delete_pair(reading, utf8 ? "韓字" : kKorEuc);
    EXPECT_EQ(r.status, DeleteStatus::not_registered) << lang;
    EXPECT_LE(r.report.size(), kEditBufferSize - 1) << lang;
    EXPECT_TRUE(whole_characters(r.report, utf8)) << lang;
    EXPECT_EQ(r.report.compare(0, 1, "\""), 0);
  }
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kKorEuc), 1);
}

TEST_F(EditStore, DuplicateIsJudgedByTheShownItemsOnly) {
  const std::vector<std::string> shown = {kHanEuc};
  // 漢字 is shown (from another reading, say): refused though not stored.
  EXPECT_EQ(add_pair(kHanjaEuc, kHanEuc, shown).status, EditStatus::duplicate);
  EXPECT_EQ(access(user_.c_str(), F_OK), -1);
  // 韓字 is stored but not shown: the store keeps one copy and it counts as added.
  ASSERT_EQ(InsertHanjaWord(0, kHanjaEuc, kKorEuc), 0);
  EXPECT_EQ(add_pair(kHanjaEuc, kKorEuc, shown).status, EditStatus::changed);
  // Modify of 韓字 into 漢字, which the list shows already: nothing changes.
  const std::string old_word = kKorEuc;
  EXPECT_EQ(modify_pair(kHanjaEuc, &old_word, kHanEuc, shown).status, EditStatus::duplicate);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kKorEuc), 1);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kHanEuc), 0);
}

TEST_F(EditStore, AddAndModifyWithAByte0xFE) {
  const char kGeomsa[] = "\xb0\xcb\xbb\xe7", kGeomsaHanja[] = "\xcb\xfe\xde\xdb";  // 검사 檢査
  EXPECT_EQ(add_pair(kGeomsa, kGeomsaHanja, {}).status, EditStatus::changed);
  EXPECT_EQ(CheckDic(0, kGeomsa, kGeomsaHanja), 1);
  ASSERT_EQ(InsertHanjaWord(0, kHanjaEuc, kKorEuc), 0);
  const std::string old_word = kKorEuc;
  EXPECT_EQ(modify_pair(kHanjaEuc, &old_word, kGeomsaHanja, {}).status, EditStatus::changed);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kGeomsaHanja), 1);
}

}  // namespace
