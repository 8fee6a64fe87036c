// Placing the cells of a group by setting the form attachments of its children.
// Every step visits rows from 0 and, within a row, columns from 0 (the centre
// steps go column by column or row by row), skips empty cells and sets on each
// child only the attachments it names, in one resource setting per child.
#include <Xm/Form.h>

#include "dtb/dtb_align_internal.h"

namespace {

struct Layout {
  int rows = -1;
  int cols = -1;
  int cell_width = 0;
  int cell_height = 0;
  bool grid = false;
};

bool measure(Widget group, DtbGroupInfo *info, Layout *layout) {
  if (group == nullptr || info == nullptr) return false;
  WidgetList children;
  if (group_children(group, &children) == 0) return false;
  get_group_row_col(group, info, &layout->rows, &layout->cols);
  if (layout->rows <= 0 || layout->cols <= 0) return false;
  get_group_cell_size(group, info, &layout->cell_width, &layout->cell_height);
  layout->grid = info->group_type == DTB_GROUP_ROWSCOLUMNS;
  return true;
}

int width_of(Widget w) {
  DtbRect rect;
  get_widget_rect(w, &rect);
  return rect.width;
}

int height_of(Widget w) {
  DtbRect rect;
  get_widget_rect(w, &rect);
  return rect.height;
}

void attach_horizontally(Widget w, unsigned char left, Widget left_widget, int left_offset,
                         unsigned char right, Widget right_widget) {
  XtVaSetValues(w, XmNleftAttachment, left, XmNleftWidget, left_widget, XmNleftOffset, left_offset,
                XmNrightAttachment, right, XmNrightWidget, right_widget, XmNrightOffset, 0, nullptr);
}

void attach_vertically(Widget w, unsigned char top, Widget top_widget, int top_offset,
                       unsigned char bottom, Widget bottom_widget) {
  XtVaSetValues(w, XmNtopAttachment, top, XmNtopWidget, top_widget, XmNtopOffset, top_offset,
                XmNbottomAttachment, bottom, XmNbottomWidget, bottom_widget, XmNbottomOffset, 0,
                nullptr);
}

// Percentage of the group's extent at which the centre of cell index lies.
int centre_percent(const Layout &l, int index, int count, int cell, int spacing) {
  if (!l.grid) return 50;
  int total = (count - 1) * spacing + count * cell;
  if (total <= 0) return 50;  // cells without size: keep them in the middle rather than divide by 0
  return ((index * (cell + spacing) + cell / 2) * 100) / total;
}

}  // namespace

namespace {

// Edge alignment along one axis. The children of the leading line (row 0 for a
// horizontal edge, column 0 for a vertical one) are strung one after another,
// each cell apart in a grid; every other child lines its edge up with the
// child before it across the line. At the far edge (right, bottom) a child's
// own extent decides its offset and the opposite edge is attached.
void align_edge(Widget group, DtbGroupInfo *info, bool horizontal, bool far_edge) {
  Layout l;
  if (!measure(group, info, &l)) return;
  const int cell = horizontal ? l.cell_width : l.cell_height;
  const int spacing = horizontal ? info->hspacing : info->vspacing;
  auto extent = horizontal ? width_of : height_of;
  auto attach = horizontal ? attach_horizontally : attach_vertically;
  for (int r = 0; r < l.rows; ++r) {
    for (int c = 0; c < l.cols; ++c) {
      Widget w = get_group_child(group, info, c, r);
      if (w == nullptr) continue;
      if (r == 0 && c == 0) {
        attach(w, XmATTACH_FORM, nullptr, far_edge ? cell - extent(w) : 0, XmATTACH_NONE, nullptr);
      } else if (horizontal ? r == 0 : c == 0) {
        Widget before = horizontal ? get_group_child(group, info, c - 1, 0) : get_group_child(group, info, 0, r - 1);
        if (before == nullptr) continue;
        int offset = spacing + (l.grid ? cell - extent(far_edge ? w : before) : 0);
        attach(w, XmATTACH_WIDGET, before, offset, XmATTACH_NONE, nullptr);
      } else {
        Widget across = horizontal ? get_group_child(group, info, c, r - 1) : get_group_child(group, info, c - 1, r);
        if (across == nullptr) continue;
        if (far_edge)
          attach(w, XmATTACH_NONE, nullptr, 0, XmATTACH_OPPOSITE_WIDGET, across);
        else
          attach(w, XmATTACH_OPPOSITE_WIDGET, across, 0, XmATTACH_NONE, nullptr);
      }
    }
  }
}

}  // namespace

void align_left(Widget group, DtbGroupInfo *info) { align_edge(group, info, true, false); }
void align_right(Widget group, DtbGroupInfo *info) { align_edge(group, info, true, true); }
void align_top(Widget group, DtbGroupInfo *info) { align_edge(group, info, false, false); }
void align_bottom(Widget group, DtbGroupInfo *info) { align_edge(group, info, false, true); }

namespace {

// Centring along one axis, one line of cells at a time: columns for a vertical
// centre line (horizontal offsets), rows for a horizontal one. The first pass
// puts each child in the middle of its cell at a fixed offset; later passes
// attach its centre to its line's percentage of the group.
void align_centre(Widget group, DtbGroupInfo *info, Boolean initial, bool horizontal) {
  Layout l;
  if (!measure(group, info, &l)) return;
  const int lines = horizontal ? l.cols : l.rows;
  const int across = horizontal ? l.rows : l.cols;
  const int cell = horizontal ? l.cell_width : l.cell_height;
  const int spacing = horizontal ? info->hspacing : info->vspacing;
  for (int i = 0; i < lines; ++i) {
    int percent = centre_percent(l, i, lines, cell, spacing);
    for (int j = 0; j < across; ++j) {
      Widget w = horizontal ? get_group_child(group, info, i, j) : get_group_child(group, info, j, i);
      if (w == nullptr) continue;
      int size = horizontal ? width_of(w) : height_of(w);
      if (initial) {
        // A composite child is not centred in its cell until its final size is known.
        int offset = XtIsComposite(w) ? 0 : (cell - size) / 2 + (l.grid ? i * (cell + spacing) : 0);
        (horizontal ? attach_horizontally : attach_vertically)(w, XmATTACH_FORM, nullptr, offset, XmATTACH_NONE,
                                                               nullptr);
      } else if (horizontal) {
        XtVaSetValues(w, XmNleftAttachment, XmATTACH_POSITION, XmNleftPosition, percent, XmNleftOffset, -(size / 2),
                      XmNrightAttachment, XmATTACH_NONE, nullptr);
      } else {
        XtVaSetValues(w, XmNtopAttachment, XmATTACH_POSITION, XmNtopPosition, percent, XmNtopOffset, -(size / 2),
                      XmNbottomAttachment, XmATTACH_NONE, nullptr);
      }
    }
  }
}

}  // namespace

void align_vcenter(Widget group, DtbGroupInfo *info, Boolean initial) { align_centre(group, info, initial, true); }
void align_hcenter(Widget group, DtbGroupInfo *info, Boolean initial) { align_centre(group, info, initial, false); }

void align_labels(Widget group, DtbGroupInfo *info) {
  Layout l;
  if (!measure(group, info, &l)) return;
  WidgetList children;
  Cardinal count = group_children(group, &children);
  int widest_label = get_widest_label(children, count);
  int widest_value = get_widest_value(children, count);
  if (widest_label + widest_value > l.cell_width) l.cell_width = widest_label + widest_value;

  bool placed_before = false;
  for (int c = 0; c < l.cols; ++c) {
    Widget widest = nullptr;
    int widest_width = 0;
    for (int r = 0; r < l.rows; ++r) {
      Widget w = get_group_child(group, info, c, r);
      if (w == nullptr) continue;
      int width = get_label_width(w);
      if (width > widest_width) {
        widest = w;
        widest_width = width;
      }
    }
    if (widest == nullptr) continue;  // no labels in this column

    int column_offset = c * (info->hspacing + l.cell_width);
    // The widest child of the first labelled column after unlabelled ones starts at the
    // form's edge, as the layout has always done; its neighbours keep the column's offset.
    attach_horizontally(widest, XmATTACH_FORM, nullptr, placed_before ? column_offset : 0,
                        XmATTACH_NONE, nullptr);
    for (int r = 0; r < l.rows; ++r) {
      Widget w = get_group_child(group, info, c, r);
      if (w == nullptr || w == widest) continue;
      attach_horizontally(w, XmATTACH_FORM, nullptr,
                          column_offset + (widest_width - get_label_width(w)), XmATTACH_NONE,
                          nullptr);
    }
    placed_before = true;
  }
}
