// Where the add/modify dialog goes beside the main window, on a 1000 x 800
// screen, for a dialog of 260 x 190 (one case: larger than the screen).
#include <gtest/gtest.h>

#include <array>

#include "editor/dialog_placement.h"

namespace {

struct Case {
  const char *where;
  ScreenBox main, dialog, expected;
};

TEST(DialogPlacement, RightElseBelowElseLeftElseAboveElseClearOfTheField) {
  const ScreenBox screen{0, 0, 1000, 800}, keep_clear{10, 20, 300, 30}, dialog{0, 0, 260, 190};
  const Case cases[] = {
      {"right", {0, 0, 400, 300}, dialog, {400, 0, 260, 190}},
      {"right, slid up onto the screen", {100, 700, 400, 100}, dialog, {500, 610, 260, 190}},
      {"below", {700, 0, 300, 300}, dialog, {700, 300, 260, 190}},
      {"left", {700, 600, 300, 200}, dialog, {440, 600, 260, 190}},
      {"above", {0, 600, 1000, 200}, dialog, {0, 410, 260, 190}},
      {"no room anywhere: the right edge, below the field", {0, 0, 1000, 800}, dialog, {740, 50, 260, 190}},
      {"no room, and larger than the screen", {0, 0, 1000, 800}, {0, 0, 1200, 900}, {0, 0, 1200, 900}},
  };
  for (const Case &c : cases) {
    ScreenBox got = place_beside(c.main, keep_clear, c.dialog, screen);
    EXPECT_EQ((std::array{got.x, got.y, got.width, got.height}),
              (std::array{c.expected.x, c.expected.y, c.expected.width, c.expected.height}))
        << c.where;
  }
}

}  // namespace
