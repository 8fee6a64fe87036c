// Help dispatch on our help layer: the quick dialog and its More button, the
// general dialog, and the texts of the dialogs; resource values converted from
// strings. (The sashes taken out of traversal are checked in the editor's own
// dialog, tests/ui/window_test.cc.)
#include <gtest/gtest.h>

#include "dtb/dt/help.h"
#include "dtb/dtb_private.h"
#include "dtb/dtb_utils.h"
#include "tests/support/scratch.h"
#include "tests/support/x_session.h"

namespace {

std::string volume_of(Widget w) {
  String value = nullptr;
  XtVaGetValues(w, DtNhelpVolume, &value, nullptr);
  return value;
}

// Help volumes in a scratch directory on DTB_HELP_PATH.
class Help : public ::testing::Test {
 protected:
  static Widget quick() { return xs::popups("Help_popup").at(0); }
  static Widget more() { return DtHelpQuickDialogGetChild(quick(), DtHELP_QUICK_MORE_BUTTON); }
  static void show(const char *text, const char *volume, const char *location) {
    DtbHelpData help{const_cast<char *>(text), const_cast<char *>(volume), const_cast<char *>(location)};
    dtb_help_dispatch(nullptr, &help, nullptr);
  }
  scratch::Dir dir_{"dtb-helpvol"};
  scratch::Env help_path_{"DTB_HELP_PATH", dir_.path().c_str()};
};

TEST_F(Help, MoreOpensTheVolumeAtTheLocation) {
  std::string path_volume = dir_.write("a/b/Vol.hv", "@topic Intro Deep intro\nfrom the path\n");
  path_volume.resize(path_volume.size() - 3);  // a volume named by its path, without the suffix
  dir_.write("Vol.hv", "@topic Other Other one\nother text\n@topic Intro Introduction\nThe intro text.\n");
  for (auto [volume, title, text] : {std::tuple{"Vol", "Introduction", "The intro text."},
                                     {path_volume.c_str(), "Deep intro", "from the path"}}) {
    show("짧은 도움말", volume, "Intro");
    EXPECT_EQ("짧은 도움말", xs::taken(DtbHelpDialogGetText(quick())));
    xs::press(more());
    Widget general = xs::popups("GeneralHelp_popup").at(0);
    EXPECT_TRUE(XtIsManaged(general));
    EXPECT_FALSE(XtIsManaged(quick()));
    EXPECT_EQ(volume, volume_of(general));
    EXPECT_EQ(title, xs::taken(DtbHelpDialogGetTopicTitle(general)));
    EXPECT_EQ(text, xs::taken(DtbHelpDialogGetText(general)));
  }
  EXPECT_EQ(1u, xs::popups("GeneralHelp_popup").size());  // More reuses its dialog
}

TEST_F(Help, WithoutVolumeAndLocationOrCutShortMoreIsInsensitiveInPlace) {
  std::string long_volume(150, 'v');
  for (auto [volume, location] : {std::pair{"", "Intro"}, {"Vol", nullptr}, {long_volume.c_str(), "Intro"}}) {
    show("second", "Vol", "Intro");
    ASSERT_TRUE(XtIsSensitive(more()));
    show("third", volume, location);
    EXPECT_FALSE(XtIsSensitive(more())) << volume;  // a cut that lost the '/' leaves nothing to open
    EXPECT_EQ(std::string(volume ? volume : "").substr(0, location ? 99 : 0), volume_of(quick()));
  }
  EXPECT_EQ(1u, xs::popups("Help_popup").size());
}

TEST(CvtResource, ConvertsOrGivesTheErrorValue) {
  Widget w = xs::toplevel();
  const std::tuple<const char *, unsigned int, const char *, unsigned long> cases[] = {
      {XtRPixel, 4, "white", WhitePixelOfScreen(XtScreen(w))}, {XtRPixel, 3, "white", 99},
      {XtRPixel, 4, "no-such-colour", 99}, {XtRBoolean, 1, "true", 1}, {XtRDimension, 2, "300", 300},
      {XtRInt, 4, "-1", 0xffffffffu}, {XtRInt, 2, "7", 99}};  // an int never fits 2 bytes
  for (auto [type, size, text, expected] : cases)
    EXPECT_EQ(expected, dtb_cvt_resource_from_string(w, const_cast<char *>(type), size, const_cast<char *>(text), 99))
        << type << " " << size << " " << text;
}

}  // namespace
