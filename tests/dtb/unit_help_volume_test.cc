// The help-volume format and the search for volumes.
#include <string>

#include <gtest/gtest.h>

#include "dtb/dt/help_volume.h"
#include "dtb/dtb_utils.h"
#include "tests/support/scratch.h"

namespace {

TEST(HelpVolume, SectionsTitlesEscapesAndLocations) {
  dt::HelpVolume v = dt::parse_help_volume(
      "# comment\n@volume  The Book \nstray text before any topic is ignored\n@topic _hometopic Home page\n\n"
      "first line\r\n@@topic is not a topic\n@topical is a line of text\n\n\n@topic Empty\n"
      "@topic Last   Spaced   title\nend");
  EXPECT_EQ("The Book", v.title);
  ASSERT_EQ(3u, v.topics.size());
  EXPECT_EQ("_hometopic|Home page|first line\n@topic is not a topic\n@topical is a line of text",
            v.topics[0].location_id + "|" + v.topics[0].title + "|" + v.topics[0].body);
  EXPECT_EQ("Empty||", v.topics[1].location_id + "|" + v.topics[1].title + "|" + v.topics[1].body);
  EXPECT_EQ("Last|Spaced   title|end", v.topics[2].location_id + "|" + v.topics[2].title + "|" + v.topics[2].body);
  for (auto [id, found] : {std::pair{"_HomeTopic", 0}, {"", 0}, {"LAST", 2}, {"Las", -1}, {"Empty/", -1}})
    EXPECT_EQ(found < 0 ? nullptr : &v.topics[size_t(found)], v.find(id)) << id;
  EXPECT_EQ(nullptr, dt::parse_help_volume("no topics at all").find(""));
}

TEST(HelpVolume, SearchOrderAndSize) {
  scratch::Dir dir("dtb-help");
  auto put = [&](const std::string &rel) { return dir.write(rel, "@topic x y\n"); };
  std::string first = put("one/Vol.hv"), second = put("two/Vol.hv"), localized = put("two/ko_KR.UTF-8/Other.hv");
  std::string plain_other = put("one/Other.hv"), beside = put("bin/help/Beside.hv");
  std::string installed = put("bin/" DTB_HELP_DIR_FROM_EXE "/Installed.hv");
  scratch::Env lang("LANG", "ko_KR.UTF-8"), help_path("DTB_HELP_PATH", (dir / "one::" + dir.path() + "/two").c_str());
  EXPECT_EQ(first, dt::find_help_volume("Vol"));
  EXPECT_EQ(plain_other, dt::find_help_volume("Other"));  // an earlier directory wins over a localized later one
  help_path.set((dir / "two:" + dir.path() + "/one").c_str());
  EXPECT_EQ(localized, dt::find_help_volume("Other"));
  EXPECT_EQ(second, dt::find_help_volume("Vol"));
  EXPECT_EQ("", dt::find_help_volume("Missing"));
  EXPECT_EQ(first, dt::find_help_volume(dir / "one/Vol"));  // names holding '/' are paths
  EXPECT_EQ(first, dt::find_help_volume(first));
  EXPECT_EQ("", dt::find_help_volume(dir / "one"));  // a directory is no volume
  static std::string exe = dir / "bin/prog";
  dtb_save_command(exe.data());
  EXPECT_EQ(beside, dt::find_help_volume("Beside"));
  EXPECT_EQ(installed, dt::find_help_volume("Installed"));
  EXPECT_TRUE(dt::load_help_volume(dir.write("Fits.hv", std::string(1 << 20, 'x'))).has_value());
  EXPECT_FALSE(dt::load_help_volume(dir.write("Big.hv", std::string((1 << 20) + 1, 'x'))).has_value());
  EXPECT_FALSE(dt::load_help_volume(dir / "none.hv").has_value());
}

}  // namespace
