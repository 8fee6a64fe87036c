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

void align_left(Widget group, DtbGroupInfo *info) {
  Layout l;
  if (!measure(group, info, &l)) return;
  for (int r = 0; r < l.rows; ++r) {
    for (int c = 0; c < l.cols; ++c) {
      Widget w = get_group_child(group, info, c, r);
      if (w == nullptr) continue;
      if (r == 0 && c == 0) {
        attach_horizontally(w, XmATTACH_FORM, nullptr, 0, XmATTACH_NONE, nullptr);
      } else if (r == 0) {
        Widget left = get_group_child(group, info, c - 1, 0);
        if (left == nullptr) continue;
        int offset = info->hspacing + (l.grid ? l.cell_width - width_of(left) : 0);
        attach_horizontally(w, XmATTACH_WIDGET, left, offset, XmATTACH_NONE, nullptr);
      } else {
        Widget above = get_group_child(group, info, c, r - 1);
        if (above == nullptr) continue;
        attach_horizontally(w, XmATTACH_OPPOSITE_WIDGET, above, 0, XmATTACH_NONE, nullptr);
      }
    }
  }
}

void align_right(Widget group, DtbGroupInfo *info) {
  Layout l;
  if (!measure(group, info, &l)) return;
  for (int r = 0; r < l.rows; ++r) {
    for (int c = 0; c < l.cols; ++c) {
      Widget w = get_group_child(group, info, c, r);
      if (w == nullptr) continue;
      if (r == 0 && c == 0) {
        attach_horizontally(w, XmATTACH_FORM, nullptr, l.cell_width - width_of(w), XmATTACH_NONE,
                            nullptr);
      } else if (r == 0) {
        Widget left = get_group_child(group, info, c - 1, 0);
        if (left == nullptr) continue;
        int offset = info->hspacing + (l.grid ? l.cell_width - width_of(w) : 0);
        attach_horizontally(w, XmATTACH_WIDGET, left, offset, XmATTACH_NONE, nullptr);
      } else {
        Widget above = get_group_child(group, info, c, r - 1);
        if (above == nullptr) continue;
        attach_horizontally(w, XmATTACH_NONE, nullptr, 0, XmATTACH_OPPOSITE_WIDGET, above);
      }
    }
  }
}

void align_top(Widget group, DtbGroupInfo *info) {
  Layout l;
  if (!measure(group, info, &l)) return;
  for (int r = 0; r < l.rows; ++r) {
    for (int c = 0; c < l.cols; ++c) {
      Widget w = get_group_child(group, info, c, r);
      if (w == nullptr) continue;
      if (r == 0 && c == 0) {
        attach_vertically(w, XmATTACH_FORM, nullptr, 0, XmATTACH_NONE, nullptr);
      } else if (c == 0) {
        Widget above = get_group_child(group, info, 0, r - 1);
        if (above == nullptr) continue;
        int offset = info->vspacing + (l.grid ? l.cell_height - height_of(above) : 0);
        attach_vertically(w, XmATTACH_WIDGET, above, offset, XmATTACH_NONE, nullptr);
      } else {
        Widget left = get_group_child(group, info, c - 1, r);
        if (left == nullptr) continue;
        attach_vertically(w, XmATTACH_OPPOSITE_WIDGET, left, 0, XmATTACH_NONE, nullptr);
      }
    }
  }
}

void align_bottom(Widget group, DtbGroupInfo *info) {
  Layout l;
  if (!measure(group, info, &l)) return;
  for (int r = 0; r < l.rows; ++r) {
    for (int c = 0; c < l.cols; ++c) {
      Widget w = get_group_child(group, info, c, r);
      if (w == nullptr) continue;
      if (r == 0 && c == 0) {
        attach_vertically(w, XmATTACH_FORM, nullptr, l.cell_height - height_of(w), XmATTACH_NONE,
                          nullptr);
      } else if (c == 0) {
        Widget above = get_group_child(group, info, 0, r - 1);
        if (above == nullptr) continue;
        int offset = info->vspacing + (l.grid ? l.cell_height - height_of(w) : 0);
        attach_vertically(w, XmATTACH_WIDGET, above, offset, XmATTACH_NONE, nullptr);
      } else {
        Widget left = get_group_child(group, info, c - 1, r);
        if (left == nullptr) continue;
        attach_vertically(w, XmATTACH_NONE, nullptr, 0, XmATTACH_OPPOSITE_WIDGET, left);
      }
    }
  }
}

void align_vcenter(Widget group, DtbGroupInfo *info, Boolean initial) {
  Layout l;
  if (!measure(group, info, &l)) return;
  for (int c = 0; c < l.cols; ++c) {
    int percent = centre_percent(l, c, l.cols, l.cell_width, info->hspacing);
    for (int r = 0; r < l.rows; ++r) {
      Widget w = get_group_child(group, info, c, r);
      if (w == nullptr) continue;
      int width = width_of(w);
      if (initial) {
        // A composite child is not centred in its cell until its final size is known.
        int offset = XtIsComposite(w) ? 0
                                      : (l.cell_width - width) / 2 +
                                            (l.grid ? c * (l.cell_width + info->hspacing) : 0);
        attach_horizontally(w, XmATTACH_FORM, nullptr, offset, XmATTACH_NONE, nullptr);
      } else {
        XtVaSetValues(w, XmNleftAttachment, XmATTACH_POSITION, XmNleftPosition, percent,
                      XmNleftOffset, -(width / 2), XmNrightAttachment, XmATTACH_NONE, nullptr);
      }
    }
  }
}

void align_hcenter(Widget group, DtbGroupInfo *info, Boolean initial) {
  Layout l;
  if (!measure(group, info, &l)) return;
  for (int r = 0; r < l.rows; ++r) {
    int percent = centre_percent(l, r, l.rows, l.cell_height, info->vspacing);
    for (int c = 0; c < l.cols; ++c) {
      Widget w = get_group_child(group, info, c, r);
      if (w == nullptr) continue;
      int height = height_of(w);
      if (initial) {
        int offset = XtIsComposite(w) ? 0
                                      : (l.cell_height - height) / 2 +
                                            (l.grid ? r * (l.cell_height + info->vspacing) : 0);
        attach_vertically(w, XmATTACH_FORM, nullptr, offset, XmATTACH_NONE, nullptr);
      } else {
        XtVaSetValues(w, XmNtopAttachment, XmATTACH_POSITION, XmNtopPosition, percent,
                      XmNtopOffset, -(height / 2), XmNbottomAttachment, XmATTACH_NONE, nullptr);
      }
    }
  }
}

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
