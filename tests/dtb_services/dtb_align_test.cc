// Group alignment and centering, on real Motif forms under Xvfb.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <Xm/BulletinB.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>

#include "dtb/dtb_align_internal.h"
#include "tests/support/x_session.h"

namespace {

using xs::pump_for;
using xs::pump_until;

struct Size {
  int width;
  int height;
};

class AlignTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell_ = xs::make_shell(440, 300);
    form_ = XtVaCreateManagedWidget("group", xmFormWidgetClass, shell_, XmNwidth, 440, XmNheight,
                                    300, XmNresizePolicy, XmRESIZE_NONE, nullptr);
  }
  void TearDown() override {
    XtDestroyWidget(shell_);
    pump_for(20);
  }

  Widget add_button(Size size) {
    std::string name = "b" + std::to_string(children_.size());
    Widget b = XtVaCreateManagedWidget(name.c_str(), xmPushButtonWidgetClass, form_,
                                       XmNrecomputeSize, False, XmNwidth, size.width, XmNheight,
                                       size.height, nullptr);
    children_.push_back(b);
    return b;
  }
  void add_buttons(int count, Size size = {40, 20}) {
    for (int i = 0; i < count; ++i) add_button(size);
  }

  Widget shell_ = nullptr;
  Widget form_ = nullptr;
  std::vector<Widget> children_;
};

struct Attach {
  unsigned char left_attachment, top_attachment;
  Widget left_widget, top_widget;
  int left_offset, top_offset, left_position;
  unsigned char right_attachment;
};

Attach attachments(Widget w) {
  Attach a{};
  XtVaGetValues(w, XmNleftAttachment, &a.left_attachment, XmNtopAttachment, &a.top_attachment,
                XmNleftWidget, &a.left_widget, XmNtopWidget, &a.top_widget, XmNleftOffset,
                &a.left_offset, XmNtopOffset, &a.top_offset, XmNleftPosition, &a.left_position,
                XmNrightAttachment, &a.right_attachment, nullptr);
  return a;
}

DtbRect rect_of(Widget w) {
  DtbRect r;
  get_widget_rect(w, &r);
  return r;
}

// ---- grid addressing ----------------------------------------------------------

struct Probe {
  int col, row;
  int index;  // -1: no child
};

struct GridCase {
  const char *name;
  int children;
  int group_type;
  int num_rows, num_cols;
  int rows, cols;  // worked out
  std::vector<Probe> probes;
};

class GridAddressing : public AlignTest, public ::testing::WithParamInterface<GridCase> {};

TEST_P(GridAddressing, RowsColumnsAndCells) {
  const GridCase &c = GetParam();
  add_buttons(c.children);
  DtbGroupInfo info{c.group_type, 0, 0, 0, c.num_rows, c.num_cols, 0, 0, 0};
  int rows = 0, cols = 0;
  get_group_row_col(form_, &info, &rows, &cols);
  EXPECT_EQ(rows, c.rows);
  EXPECT_EQ(cols, c.cols);
  for (const Probe &p : c.probes) {
    Widget expected = p.index < 0 ? nullptr : children_[p.index];
    EXPECT_EQ(xs::name_of(get_group_child(form_, &info, p.col, p.row)),
              xs::name_of(expected))
        << "cell (" << p.col << ", " << p.row << ")";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, GridAddressing,
    ::testing::Values(
        GridCase{"RowMajor", 6, DTB_GROUP_ROWSCOLUMNS, 0, 3, 2, 3,
                 {{0, 0, 0}, {2, 0, 2}, {0, 1, 3}, {2, 1, 5}, {3, 0, -1}, {0, 2, -1}}},
        GridCase{"ColumnMajor", 6, DTB_GROUP_ROWSCOLUMNS, 3, 0, 3, 2,
                 {{0, 0, 0}, {0, 2, 2}, {1, 0, 3}, {1, 2, 5}, {0, 3, -1}, {2, 0, -1}}},
        GridCase{"LastRowShort", 7, DTB_GROUP_ROWSCOLUMNS, 0, 3, 3, 3,
                 {{0, 2, 6}, {1, 2, -1}, {2, 2, -1}}},
        GridCase{"OneRow", 4, DTB_GROUP_ROWS, 1, 0, 1, 4, {{3, 0, 3}, {4, 0, -1}}},
        GridCase{"OneColumn", 4, DTB_GROUP_COLUMNS, 0, 1, 4, 1, {{0, 3, 3}, {0, 4, -1}}},
        GridCase{"NegativeAddress", 4, DTB_GROUP_ROWSCOLUMNS, 0, 2, 2, 2, {{-1, 0, -1}, {0, -1, -1}}},
        GridCase{"NothingRequested", 4, DTB_GROUP_ROWSCOLUMNS, 0, 0, -1, -1, {{0, 0, -1}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(AlignTest, RowMajorGridStacksEachColumnUnderItsFirstRow) {
  add_buttons(6);
  dtb_children_align(form_, DTB_GROUP_ROWSCOLUMNS, DTB_ALIGN_TOP, DTB_ALIGN_LEFT, 0, 0, 3, 5, 5);
  Attach a = attachments(children_[4]);
  EXPECT_EQ(a.left_attachment, XmATTACH_OPPOSITE_WIDGET);
  EXPECT_EQ(a.left_widget, children_[1]);
  Attach top = attachments(children_[3]);
  EXPECT_EQ(top.top_attachment, XmATTACH_WIDGET);
  EXPECT_EQ(top.top_widget, children_[0]);
}

TEST_F(AlignTest, ColumnMajorGridStacksChildrenDownTheFirstColumn) {
  add_buttons(6);
  dtb_children_align(form_, DTB_GROUP_ROWSCOLUMNS, DTB_ALIGN_TOP, DTB_ALIGN_LEFT, 0, 3, 0, 5, 5);
  EXPECT_EQ(attachments(children_[1]).top_widget, children_[0]);
  EXPECT_EQ(attachments(children_[2]).top_widget, children_[1]);
  Attach second_column = attachments(children_[3]);
  EXPECT_EQ(second_column.left_attachment, XmATTACH_WIDGET);
  EXPECT_EQ(second_column.left_widget, children_[0]);
}

// ---- one row -----------------------------------------------------------------------

class OneRow : public AlignTest, public ::testing::WithParamInterface<bool> {};

TEST_P(OneRow, IsStrungLeftToRightWithSpacingAndEdgesAligned) {
  const bool bottom = GetParam();
  for (Size s : {Size{50, 20}, Size{60, 30}, Size{70, 40}}) add_button(s);
  dtb_children_align(form_, DTB_GROUP_ROWS, bottom ? DTB_ALIGN_BOTTOM : DTB_ALIGN_TOP, DTB_ALIGN_NONE, 0, 0, 0, 10,
                     0);
  ASSERT_TRUE(xs::show_and_wait(shell_));
  for (size_t i = 0; i < children_.size(); ++i) {
    DtbRect r = rect_of(children_[i]);
    EXPECT_EQ(bottom ? r.y + r.height : r.y, bottom ? 40 : 0) << i;  // the tallest child sets the bottom
    if (i > 0) {
      DtbRect left = rect_of(children_[i - 1]);
      EXPECT_EQ(r.x, left.x + left.width + 10) << i;
    }
  }
  EXPECT_EQ(rect_of(children_[0]).x, 0);
}

INSTANTIATE_TEST_SUITE_P(Edges, OneRow, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Bottom" : "Top"; });

TEST_F(AlignTest, OneColumnRightAlignedStacksWithSpacing) {
  for (Size s : {Size{50, 20}, Size{60, 30}}) add_button(s);
  dtb_children_align(form_, DTB_GROUP_COLUMNS, DTB_ALIGN_NONE, DTB_ALIGN_RIGHT, 0, 5, 5, 0, 8);
  ASSERT_TRUE(xs::show_and_wait(shell_));
  DtbRect first = rect_of(children_[0]), second = rect_of(children_[1]);
  EXPECT_EQ(second.y, first.y + first.height + 8);
  // Right edges line up on the widest cell.
  EXPECT_EQ(first.x + first.width, second.x + second.width);
  EXPECT_EQ(second.x + second.width, 60);
}

// ---- centred columns ------------------------------------------------------------------

TEST_F(AlignTest, GridColumnCentresMoveToPercentagesOnFirstExposure) {
  for (int width : {100, 60, 80, 40}) add_button({width, 20});
  dtb_children_align(form_, DTB_GROUP_ROWSCOLUMNS, DTB_ALIGN_NONE, DTB_ALIGN_VCENTER, 0, 0, 2, 20,
                     0);
  // Before the group is shown the children sit at fixed offsets inside their cells.
  EXPECT_EQ(attachments(children_[0]).left_attachment, XmATTACH_FORM);
  EXPECT_EQ(attachments(children_[1]).left_offset, (100 - 60) / 2 + 120);
  EXPECT_EQ(attachments(children_[3]).left_offset, (100 - 40) / 2 + 120);

  ASSERT_TRUE(xs::show_and_wait(shell_));
  ASSERT_TRUE(pump_until([&] { return attachments(children_[0]).left_attachment == XmATTACH_POSITION; }));
  const int expected_percent[] = {22, 77, 22, 77};
  const int widths[] = {100, 60, 80, 40};
  for (int i = 0; i < 4; ++i) {
    Attach a = attachments(children_[i]);
    EXPECT_EQ(a.left_attachment, XmATTACH_POSITION) << i;
    EXPECT_EQ(a.left_position, expected_percent[i]) << i;
    EXPECT_EQ(a.left_offset, -(widths[i] / 2)) << i;
    EXPECT_EQ(a.right_attachment, XmATTACH_NONE) << i;
  }

  // From now on a child that changes size is centred again...
  XtVaSetValues(children_[1], XmNwidth, 70, nullptr);
  EXPECT_TRUE(pump_until([&] { return attachments(children_[1]).left_offset == -35; }));
  // ...and a child that arrives takes its place in the grid.
  Widget late = add_button({30, 20});
  EXPECT_TRUE(pump_until([&] { return attachments(late).left_attachment == XmATTACH_POSITION; }));
  EXPECT_EQ(attachments(late).left_position, 22);
  EXPECT_EQ(attachments(late).left_offset, -15);
  // A child that goes moves the rest up the grid: the second child becomes the first.
  XtDestroyWidget(children_[0]);
  EXPECT_TRUE(pump_until([&] { return attachments(children_[1]).left_position == 22; }));
  EXPECT_EQ(attachments(children_[2]).left_position, 77);
}

TEST_F(AlignTest, LeftAlignedGroupIsNotRealignedOnExposure) {
  add_buttons(2);
  dtb_children_align(form_, DTB_GROUP_ROWS, DTB_ALIGN_TOP, DTB_ALIGN_NONE, 0, 0, 0, 4, 0);
  ASSERT_TRUE(xs::show_and_wait(shell_));
  XtVaSetValues(children_[1], XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, 77, nullptr);
  XtVaSetValues(children_[0], XmNwidth, 90, nullptr);
  pump_for(100);
  EXPECT_EQ(attachments(children_[1]).left_offset, 77);
}

// ---- centering -----------------------------------------------------------------------

struct CenterCase {
  const char *name;
  unsigned char left, top;
  int direction;
  int left_offset, top_offset;  // 7 means left alone
};

class Centering : public AlignTest, public ::testing::WithParamInterface<CenterCase> {};

TEST_P(Centering, SetsOffsetsOnPositionAttachments) {
  const CenterCase &c = GetParam();
  Widget w = add_button({61, 31});
  XtVaSetValues(w, XmNleftAttachment, c.left, XmNleftPosition, 50, XmNleftOffset, 7,
                XmNtopAttachment, c.top, XmNtopPosition, 50, XmNtopOffset, 7, nullptr);
  ASSERT_TRUE(xs::show_and_wait(shell_));
  dtb_center(w, c.direction);
  Attach a = attachments(w);
  EXPECT_EQ(a.left_offset, c.left_offset);
  EXPECT_EQ(a.top_offset, c.top_offset);
  dtb_uncenter(w, c.direction);
  a = attachments(w);
  EXPECT_EQ(a.left_offset, c.left_offset == 7 ? 7 : 0);
  EXPECT_EQ(a.top_offset, c.top_offset == 7 ? 7 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, Centering,
    ::testing::Values(
        CenterCase{"BothWithOnlyLeftPosition", XmATTACH_POSITION, XmATTACH_FORM, 3, -30, -15},
        CenterCase{"BothWithOnlyTopPosition", XmATTACH_FORM, XmATTACH_POSITION, 3, -30, -15},
        CenterCase{"HorizontalOnly", XmATTACH_POSITION, XmATTACH_POSITION, 1, -30, 7},
        CenterCase{"VerticalOnly", XmATTACH_POSITION, XmATTACH_POSITION, 2, 7, -15},
        CenterCase{"HorizontalWithoutPosition", XmATTACH_FORM, XmATTACH_POSITION, 1, 7, 7},
        CenterCase{"BothWithoutPosition", XmATTACH_FORM, XmATTACH_FORM, 3, 7, 7}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(AlignTest, CentredChildFollowsItsSizeUntilUncentred) {
  Widget w = add_button({60, 30});
  XtVaSetValues(w, XmNleftAttachment, XmATTACH_POSITION, XmNleftPosition, 50, nullptr);
  ASSERT_TRUE(xs::show_and_wait(shell_));
  dtb_children_center(form_, DTB_CENTER_HORIZONTAL);
  EXPECT_EQ(attachments(w).left_offset, -30);
  XtVaSetValues(w, XmNwidth, 81, nullptr);
  EXPECT_TRUE(pump_until([&] { return attachments(w).left_offset == -40; }));
  dtb_children_uncenter(form_, DTB_CENTER_HORIZONTAL);
  EXPECT_EQ(attachments(w).left_offset, 0);
  XtVaSetValues(w, XmNwidth, 101, nullptr);
  pump_for(100);
  EXPECT_EQ(attachments(w).left_offset, 0);
}

TEST_F(AlignTest, UnrealizedChildIsNotCentred) {
  Widget w = add_button({60, 30});
  XtVaSetValues(w, XmNleftAttachment, XmATTACH_POSITION, XmNleftOffset, 7, nullptr);
  dtb_center(w, DTB_CENTER_BOTH);
  EXPECT_EQ(attachments(w).left_offset, 7);
}

// ---- labels --------------------------------------------------------------------------

// A bulletin board (which keeps its children where they are put) holding, at
// x = 7, another bulletin board that holds the named label at x = 5.
Widget labelled_field(Widget parent, const char *name, const char *label_name, int label_width) {
  Widget field = XtVaCreateManagedWidget(name, xmBulletinBoardWidgetClass, parent, XmNmarginWidth,
                                         0, XmNmarginHeight, 0, nullptr);
  Widget inner = XtVaCreateManagedWidget("inner", xmBulletinBoardWidgetClass, field, XmNx, 7, XmNy,
                                         0, XmNmarginWidth, 0, XmNmarginHeight, 0, nullptr);
  XtVaCreateManagedWidget(label_name, xmLabelWidgetClass, inner, XmNx, 5, XmNy, 0,
                          XmNrecomputeSize, False, XmNwidth, label_width, XmNheight, 20, nullptr);
  XtVaCreateManagedWidget("value", xmPushButtonWidgetClass, field, XmNx, 100, XmNy, 0,
                          XmNrecomputeSize, False, XmNwidth, 50, XmNheight, 20, nullptr);
  return field;
}

struct LabelCase {
  const char *field;
  const char *label;  // the descendant to create
  bool found;
};

class LabelSearch : public AlignTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(LabelSearch, FindsLabelByName) {
  const LabelCase &c = GetParam();
  Widget field = labelled_field(form_, c.field, c.label, 40);
  ASSERT_TRUE(xs::show_and_wait(shell_));
  Widget label = get_label_widget(field);
  EXPECT_EQ(xs::name_of(label), c.found ? std::string(c.label) : "(none)");
  EXPECT_EQ(get_label_width(field), c.found ? 40 + 5 + 7 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, LabelSearch,
    ::testing::Values(LabelCase{"age_field", "age_label", true},
                      LabelCase{"age", "age_label", true},
                      LabelCase{"home_town_field", "home_town_label", true},
                      LabelCase{"age_field", "age_field_label", true},
                      LabelCase{"age_field", "field_label", false}),
    [](const auto &info) { return std::to_string(info.index); });

TEST_F(AlignTest, MotifLabelIsItsOwnLabelAndFormUsesItsFirstChild) {
  Widget label = XtVaCreateManagedWidget("plain", xmLabelWidgetClass, form_, nullptr);
  Widget box = XtVaCreateManagedWidget("box", xmFormWidgetClass, form_, nullptr);
  Widget first = XtVaCreateManagedWidget("first", xmLabelWidgetClass, box, nullptr);
  Widget board = XtVaCreateManagedWidget("board", xmBulletinBoardWidgetClass, form_, nullptr);
  XtVaCreateManagedWidget("first", xmLabelWidgetClass, board, nullptr);
  EXPECT_EQ(get_label_widget(label), label);
  EXPECT_EQ(get_label_widget(box), first);
  EXPECT_EQ(get_label_widget(board), nullptr);
}

TEST_F(AlignTest, LabelAlignedColumnLinesUpLabelEdges) {
  Widget narrow = labelled_field(form_, "age_field", "age_label", 30);
  Widget wide = labelled_field(form_, "name_field", "name_label", 70);
  ASSERT_TRUE(xs::show_and_wait(shell_));
  dtb_children_align(form_, DTB_GROUP_COLUMNS, DTB_ALIGN_NONE, DTB_ALIGN_LABELS, 0, 0, 0, 0, 4);
  Attach a = attachments(narrow), b = attachments(wide);
  EXPECT_EQ(b.left_attachment, XmATTACH_FORM);
  EXPECT_EQ(b.left_offset, 0);
  EXPECT_EQ(a.left_attachment, XmATTACH_FORM);
  EXPECT_EQ(a.left_offset, 70 - 30);
  pump_for(50);
  EXPECT_EQ(rect_of(narrow).x + get_label_width(narrow), rect_of(wide).x + get_label_width(wide));
}

TEST_F(AlignTest, ExposureOfAnEmptyGroupWaitsForChildren) {
  dtb_children_align(form_, DTB_GROUP_ROWSCOLUMNS, DTB_ALIGN_HCENTER, DTB_ALIGN_VCENTER, 0, 0, 2,
                     5, 5);
  ASSERT_TRUE(xs::show_and_wait(shell_));
  Widget late = add_button({40, 20});
  pump_for(50);
  EXPECT_NE(attachments(late).left_attachment, XmATTACH_POSITION);
  // The next exposure is the first one that finds a child.
  XClearArea(XtDisplay(form_), XtWindow(form_), 0, 0, 0, 0, True);
  EXPECT_TRUE(pump_until([&] { return attachments(late).left_attachment == XmATTACH_POSITION; }));
  EXPECT_EQ(attachments(late).top_attachment, XmATTACH_POSITION);
}

}  // namespace
