// Add, Modify and Delete without widgets: key making and its bounds, the
// report buffer, and the store results the operations turn into reports.
#include "editor/hanja_edit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "publish/publish.h"
#include "tests/support/scratch.h"

namespace {

const char kHanjaEuc[] = "\xc7\xd1\xc0\xda";  // 한자
const char kKorEuc[] = "\xf9\xdb\xed\xae";    // 韓字
const char kHanEuc[] = "\xf9\xd3\xed\xae";    // 漢字
const char kLeiEuc[] = "\xf9\xd8\xed\xae";    // 閑字

std::string repeat(const std::string &s, int n) {
  std::string out;
  for (int i = 0; i < n; i++) out += s;
  return out;
}

// No UTF-8 sequence and no EUC-KR pair cut in two.
bool whole_characters(const std::string &s, bool utf8) {
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    i += b < 0x80 ? 1 : utf8 && b >= 0xe0 ? 3 : 2;
  }
  return i == s.size();
}

TEST(EditKey, ConvertsOrRefuses) {
  const struct {
    const char *lang;
    std::string text;
    bool ok;
    std::string euc;
  } cases[] = {
      {"ko_KR.UTF-8", "한자", true, kHanjaEuc},
      {"ko_KR.UTF-8", "ab", false, ""},
      {"ko.UTF-8", "", false, ""},
      {"ko_KR.UTF-8", repeat("가", 49), true, repeat("\xb0\xa1", 49)},
      {"ko_KR.UTF-8", repeat("가", 50), false, ""},
      {"ko_KR.UTF-8", "檢査", true, "\xcb\xfe\xde\xdb"},  // a byte 0xFE
      {"ko_KR.EUC", kHanjaEuc, true, kHanjaEuc},
      {"ko_KR.EUC", "\xcb\xfe\xde\xdb", true, "\xcb\xfe\xde\xdb"},
      {"ko", "ab", false, ""},
      {"korean", std::string(kHanjaEuc) + "a", false, ""},
      {"ko", "\x81\x41", false, ""},  // outside the two-byte code
      {"ko", repeat("\xb0\xa1", 49), true, repeat("\xb0\xa1", 49)},
      {"ko", repeat("\xb0\xa1", 50), false, ""},
  };
  scratch::Env lang("LANG", nullptr);
  for (const auto &c : cases) {
    lang.set(c.lang);
    std::string euc = "stale";
    EXPECT_EQ(edit_key(c.text, &euc), c.ok) << c.lang << " " << c.text.size();
    EXPECT_EQ(euc, c.euc) << c.lang << " " << c.text.size();
  }
}

TEST(FitReport, ShortensInsertedWordsInTheMiddleAndKeepsTheSentence) {
  const std::pair<const char *, int> cases[] = {{"ko_KR.UTF-8", 9}, {"ko_KR.UTF-8", 40}, {"ko_KR.EUC", 10}, {"ko_KR.EUC", 81}};
  scratch::Env lang("LANG", nullptr);
  for (const auto &[mode, syllables] : cases) {
    lang.set(mode);
    const bool utf8 = mode[6] == 'U', shortened = syllables > 10;
    auto m = [utf8](const char *utf8_text, const char *euc_text) { return std::string(utf8 ? utf8_text : euc_text); };
    const std::string reading = m("가", "\xb0\xa1") + repeat(m("한", "\xc7\xd1"), syllables - 2) + m("나", "\xb3\xaa");
    const std::string word = m("漢字", kHanEuc), tail = m("\"는 맞지 않음.", "\"\xb4\xc2 \xb8\xc2\xc1\xf6 \xbe\xca\xc0\xbd.");
    const ReportPart parts[] = {{"\"", false}, {reading, true}, {"\" & \"", false}, {word, true}, {tail, false}};
    const std::string r = fit_report(parts);
    EXPECT_LE(r.size(), kEditBufferSize - 1) << mode << " " << syllables;
    EXPECT_TRUE(whole_characters(r, utf8)) << r;
    EXPECT_EQ(r.compare(0, 1 + m("가", "..").size(), "\"" + m("가", "\xb0\xa1")), 0) << r;
    EXPECT_NE(r.find(m("나", "\xb3\xaa") + "\" & \"" + word + tail), std::string::npos) << r;
    EXPECT_EQ(r.find(m("…", "\xa1\xa6")) != std::string::npos, shortened) << r;
    EXPECT_TRUE(shortened || r == "\"" + reading + "\" & \"" + word + tail) << r;
  }
}

class EditStore : public ::testing::Test {
 protected:
  scratch::Dir dir_{"glosset-hedit"};
  std::string user_ = dir_ / "usrhjd";
  scratch::Env usrdicname_{"USRDICNAME", user_.c_str()};
  scratch::Env lang_{"LANG", "ko_KR.EUC"};
};

// (A reading too long for the report is shortened: the window test deletes with one of 80 syllables.)
TEST_F(EditStore, DeleteOfAMissingDictionaryIsRefused) {
  DeleteResult r = delete_pair(kHanjaEuc, kKorEuc);
  EXPECT_EQ(r.status, DeleteStatus::refused);
  // $HOME/.usrhjd에서 지울수 없음.
  EXPECT_EQ(r.report, "$HOME/.usrhjd\xbf\xa1\xbc\xad \xc1\xf6\xbf\xef\xbc\xf6 \xbe\xf8\xc0\xbd.");
  EXPECT_EQ(access(user_.c_str(), F_OK), -1);
}

TEST_F(EditStore, DuplicatesAreJudgedByTheShownItemsOnly) {
  const std::vector<std::string> shown = {kHanEuc};
  EXPECT_EQ(add_pair(kHanjaEuc, kHanEuc, shown).status, EditStatus::duplicate);  // shown, though not stored
  EXPECT_EQ(access(user_.c_str(), F_OK), -1);
  ASSERT_EQ(InsertHanjaWord(0, kHanjaEuc, kKorEuc), 0);
  EXPECT_EQ(add_pair(kHanjaEuc, kKorEuc, shown).status, EditStatus::changed);  // stored, not shown: one copy kept
  const std::string old_word = kKorEuc;
  EXPECT_EQ(modify_pair(kHanjaEuc, &old_word, kHanEuc, shown).status, EditStatus::duplicate);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kKorEuc), 1);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kHanEuc), 0);
}

TEST_F(EditStore, ModifyOfAnUnregisteredOldWordAddsTheNewOneAndA0xFEByteIsStored) {
  ASSERT_EQ(InsertHanjaWord(0, kHanjaEuc, kKorEuc), 0);
  const std::string unregistered = kHanEuc;
  EXPECT_EQ(modify_pair(kHanjaEuc, &unregistered, kLeiEuc, {}).status, EditStatus::changed);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kLeiEuc), 1);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kKorEuc), 1);
  const char kGeomsa[] = "\xb0\xcb\xbb\xe7", kGeomsaHanja[] = "\xcb\xfe\xde\xdb";  // 검사 檢査
  EXPECT_EQ(add_pair(kGeomsa, kGeomsaHanja, {}).status, EditStatus::changed);
  EXPECT_EQ(CheckDic(0, kGeomsa, kGeomsaHanja), 1);
  const std::string old_word = kKorEuc;
  EXPECT_EQ(modify_pair(kHanjaEuc, &old_word, kGeomsaHanja, {}).status, EditStatus::changed);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kGeomsaHanja), 1);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kKorEuc), 0);
}

// With byeoru published, each change is written to its file and reported as usual; once the file cannot be
// written, the change still stands and the footer says why instead.
TEST_F(EditStore, ChangesKeepThePublishedFileInStepOrTheFooterSaysWhyNot) {
  scratch::Env config("XDG_CONFIG_HOME", (dir_ / "config").c_str());
  const std::string byeoru = dir_ / "byeoru-dict";
  ASSERT_TRUE(publish::publish_now({{publish::Kind::byeoru, byeoru}}, true).at(0).ok);
  // "漢字"를 $HOME/.usrhjd에 더했음.
  EXPECT_EQ(add_pair(kHanjaEuc, kHanEuc, {}).report, "\"" + std::string(kHanEuc) + "\"\xb8\xa6 $HOME/.usrhjd\xbf\xa1 \xb4\xf5\xc7\xdf\xc0\xbd.");
  EXPECT_EQ(scratch::read(byeoru), "한자:漢字:\n");
  const std::string old_word = kHanEuc;
  EXPECT_EQ(modify_pair(kHanjaEuc, &old_word, kKorEuc, {}).status, EditStatus::changed);
  EXPECT_EQ(scratch::read(byeoru), "한자:韓字:\n");
  EXPECT_EQ(delete_pair(kHanjaEuc, kKorEuc).report, select_hanja_prompt());
  EXPECT_EQ(scratch::read(byeoru), "");
  ASSERT_EQ(unlink(byeoru.c_str()), 0);
  ASSERT_EQ(mkdir(byeoru.c_str(), 0755), 0);
  // 입력기 파일에 쓸 수 없음 (byeoru: is a directory)
  const std::string not_published = "\xc0\xd4\xb7\xc2\xb1\xe2 \xc6\xc4\xc0\xcf\xbf\xa1 \xbe\xb5 \xbc\xf6 \xbe\xf8\xc0\xbd (byeoru: is a directory)";
  EditResult r = add_pair(kHanjaEuc, kLeiEuc, {});
  EXPECT_EQ(r.status, EditStatus::changed);
  EXPECT_EQ(r.report, not_published);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kLeiEuc), 1);
  EXPECT_EQ(delete_pair(kHanjaEuc, kLeiEuc).report, not_published);
  EXPECT_EQ(CheckDic(0, kHanjaEuc, kLeiEuc), 0);
}

}  // namespace
