// Group alignment and centering, on real Motif forms under Xvfb.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include <Xm/Form.h>
#include <Xm/PushB.h>

#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

namespace {

using Place = std::array<int, 2>;

// A form of 440 x 300 that keeps its size, in a shell of its own.
Widget form() {
  return XtVaCreateManagedWidget("group", xmFormWidgetClass, xs::make_shell(440, 300), XmNresizePolicy, XmRESIZE_NONE,
                                 nullptr);
}

Widget add(Widget parent, int width, int height) {
  return XtVaCreateManagedWidget("b", xmPushButtonWidgetClass, parent, XmNrecomputeSize, False, XmNwidth, width,
                                 XmNheight, height, nullptr);
}

Place where(Widget w) {
  Position x = 0, y = 0;
  XtVaGetValues(w, XmNx, &x, XmNy, &y, nullptr);
  return {x, y};
}

TEST(Align, PlacesTheCellsOfRowsColumnsAndGrids) {
  struct {
    int type, row_align, col_align, rows, cols;
    std::vector<std::array<int, 4>> kids;  // width, height, then x and y as placed
  } cases[] = {
      {DTB_GROUP_ROWS, DTB_ALIGN_TOP, 0, 0, 0, {{50, 20, 0, 0}, {60, 30, 60, 0}, {70, 40, 130, 0}}},
      {DTB_GROUP_ROWS, DTB_ALIGN_BOTTOM, 0, 0, 0, {{50, 20, 0, 20}, {60, 30, 60, 10}, {70, 40, 130, 0}}},
      {DTB_GROUP_COLUMNS, 0, DTB_ALIGN_RIGHT, 0, 0, {{50, 20, 20, 0}, {70, 30, 0, 25}}},
      {DTB_GROUP_ROWSCOLUMNS, DTB_ALIGN_TOP, DTB_ALIGN_LEFT, 0, 3,  // row by row
       {{40, 20, 0, 0}, {30, 30, 50, 0}, {20, 20, 100, 0}, {40, 10, 0, 35}, {30, 20, 50, 35}, {20, 20, 100, 35}}},
      {DTB_GROUP_ROWSCOLUMNS, DTB_ALIGN_BOTTOM, DTB_ALIGN_RIGHT, 2, 0,  // column by column
       {{40, 20, 0, 10}, {30, 10, 10, 55}, {20, 30, 70, 0}, {10, 20, 80, 45}}},
  };
  for (const auto &c : cases) {
    Widget group = form();
    std::vector<Widget> kids;
    for (const auto &k : c.kids) kids.push_back(add(group, k[0], k[1]));
    dtb_children_align(group, c.type, c.row_align, c.col_align, 0, c.rows, c.cols, 10, 5);
    ASSERT_TRUE(xs::show_and_wait(XtParent(group)));
    for (size_t i = 0; i < kids.size(); ++i)
      EXPECT_EQ((Place{c.kids[i][2], c.kids[i][3]}), where(kids[i])) << "group " << c.type << ", child " << i;
    XtDestroyWidget(XtParent(group));
  }
}

}  // namespace
