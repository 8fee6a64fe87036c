// Resource values converted from strings. (The sashes taken out of traversal
// are checked in the editor's own dialog, tests/ui/edit_test.cc.)
#include <gtest/gtest.h>

#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

namespace {

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
