// The help-volume format, the search for volumes, and the shipped volume.
#include <clocale>
#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "dtb/dt/help_volume.h"
#include "dtb/dtb_utils.h"
#include "tests/support/scratch.h"

namespace {

TEST(HelpVolumeFormat, SectionsTitlesAndEscapes) {
  dt::HelpVolume v = dt::parse_help_volume(
      "# comment\n"
      "@volume  The Book \n"
      "stray text before any topic is ignored\n"
      "@topic _hometopic Home page\n"
      "\n"
      "first line\r\n"
      "@@topic is not a topic\n"
      "@topical is a line of text\n"
      "\n"
      "\n"
      "@topic Empty\n"
      "@topic Last   Spaced   title\n"
      "end");
  EXPECT_EQ("The Book", v.title);
  ASSERT_EQ(3u, v.topics.size());
  EXPECT_EQ("_hometopic", v.topics[0].location_id);
  EXPECT_EQ("Home page", v.topics[0].title);
  EXPECT_EQ("first line\n@topic is not a topic\n@topical is a line of text", v.topics[0].body);
  EXPECT_EQ("Empty", v.topics[1].location_id);
  EXPECT_EQ("", v.topics[1].title);
  EXPECT_EQ("", v.topics[1].body);
  EXPECT_EQ("Spaced   title", v.topics[2].title);
  EXPECT_EQ("end", v.topics[2].body);
}

TEST(HelpVolumeFormat, FindingALocation) {
  dt::HelpVolume v = dt::parse_help_volume("@topic Intro A\na\n@topic Find B\nb\n");
  struct {
    const char *id;
    const char *title;  // null: not found
  } cases[] = {{"Intro", "A"}, {"intro", "A"}, {"FIND", "B"}, {"", "A"}, {"Fin", nullptr}, {"Intro/", nullptr}};
  for (const auto &c : cases) {
    const dt::HelpTopic *t = v.find(c.id);
    if (c.title == nullptr) {
      EXPECT_EQ(nullptr, t) << c.id;
    } else {
      ASSERT_NE(nullptr, t) << c.id;
      EXPECT_EQ(c.title, t->title) << c.id;
    }
  }
  EXPECT_EQ(nullptr, dt::parse_help_volume("no topics at all").find(""));
}

class VolumeSearch : public ::testing::Test {
 protected:
  std::string put(const std::string &rel) { return dir_.write(rel, "@topic x y\n"); }
  scratch::Dir dir_{"dtb-help"};
  const std::string root_ = dir_.path();
  scratch::Env help_path_{"DTB_HELP_PATH", nullptr}, lang_{"LANG", nullptr};
};

TEST_F(VolumeSearch, PathsAndSearchOrder) {
  std::string first = put("one/Vol.hv");
  std::string second = put("two/Vol.hv");
  std::string localized = put("two/ko_KR.UTF-8/Other.hv");
  std::string plain_other = put("one/Other.hv");
  std::string path = root_ + "/one::" + root_ + "/two";
  setenv("DTB_HELP_PATH", path.c_str(), 1);
  setenv("LANG", "ko_KR.UTF-8", 1);

  EXPECT_EQ(first, dt::find_help_volume("Vol"));
  EXPECT_EQ(plain_other, dt::find_help_volume("Other"));  // earlier directory wins over a localized later one
  setenv("DTB_HELP_PATH", (root_ + "/two:" + root_ + "/one").c_str(), 1);
  EXPECT_EQ(localized, dt::find_help_volume("Other"));
  EXPECT_EQ(second, dt::find_help_volume("Vol"));
  EXPECT_EQ("", dt::find_help_volume("Missing"));
  EXPECT_EQ("", dt::find_help_volume(""));

  // Names holding '/' are paths, with or without the suffix.
  EXPECT_EQ(first, dt::find_help_volume(root_ + "/one/Vol"));
  EXPECT_EQ(first, dt::find_help_volume(first));
  EXPECT_EQ("", dt::find_help_volume(root_ + "/one"));  // a directory is no volume
}

TEST_F(VolumeSearch, BesideTheExecutableAndWhereTheBuildInstallsThem) {
  static std::string exe;
  exe = root_ + "/bin/prog";
  dtb_save_command(exe.data());
  std::string beside = put("bin/help/Beside.hv");
  std::string installed = put("bin/" DTB_HELP_DIR_FROM_EXE "/Installed.hv");
  EXPECT_EQ(beside, dt::find_help_volume("Beside"));
  EXPECT_EQ(installed, dt::find_help_volume("Installed"));
  dtb_save_command(nullptr);
  EXPECT_EQ("", dt::find_help_volume("Installed"));
}

TEST_F(VolumeSearch, OversizedVolumeIsRefused) {
  std::string path = root_ + "/Big.hv";
  {
    std::ofstream out(path);
    out << "@topic a b\n" << std::string((1 << 20) + 10, 'x');
  }
  EXPECT_FALSE(dt::load_help_volume(path).has_value());
  EXPECT_FALSE(dt::load_help_volume(root_ + "/none.hv").has_value());
}

TEST(HelpText, ConvertedToTheLocaleEncoding) {
  if (std::setlocale(LC_CTYPE, "ko_KR.eucKR") == nullptr) GTEST_SKIP() << "no EUC-KR locale";
  EXPECT_EQ("\xC7\xD1 a", dt::utf8_to_locale("한 a"));
  EXPECT_EQ("?x", dt::utf8_to_locale("\xF0\x9F\x98\x80x"));  // an emoji EUC-KR lacks
  EXPECT_EQ("?y", dt::utf8_to_locale("\xC3y"));              // a broken sequence
  std::setlocale(LC_CTYPE, "ko_KR.UTF-8");
  EXPECT_EQ("한 a", dt::utf8_to_locale("한 a"));
  std::setlocale(LC_CTYPE, "C");
}

TEST(ShippedVolume, EveryTopicHasATitleAndText) {
  std::string path = std::string(GLOSSET_HELP_DIR) + "/Glosset.hv";
  auto volume = dt::load_help_volume(path);
  ASSERT_TRUE(volume.has_value()) << path;
  EXPECT_FALSE(volume->title.empty());
  ASSERT_FALSE(volume->topics.empty());
  EXPECT_EQ("_hometopic", volume->topics.front().location_id);
  for (const char *id : {"Find", "Add", "Modify", "Delete", "Dictionaries", "Locale"})
    EXPECT_NE(nullptr, volume->find(id)) << id;
  for (const dt::HelpTopic &t : volume->topics) {
    EXPECT_FALSE(t.title.empty()) << t.location_id;
    EXPECT_FALSE(t.body.empty()) << t.location_id;
    EXPECT_EQ(std::string::npos, t.location_id.find('/')) << t.location_id;
  }
}

}  // namespace
