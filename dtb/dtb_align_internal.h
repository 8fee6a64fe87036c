// Routines shared by the measuring, placing and registration halves of group
// alignment. Not for generated code: it calls the entry points of dtb_align.h.
#pragma once
#include "dtb/dtb_align.h"

struct DtbRect {
  int x;
  int y;
  int width;
  int height;
};

// ---- measuring (dtb_align_measure.cc) ----------------------------------------

// The widget that labels a child: the child itself when it is a Motif label,
// else a descendant named after it ("age_field" -> "age_label", "age" ->
// "age_label"), else the label of the first child of a form or frame; or null.
Widget get_label_widget(Widget child);
// Sum of the x positions of widget and of each of its ancestors below ancestor.
int get_offset_from_ancestor(Widget ancestor, Widget widget);
// Right edge of the child's label inside the child; 0 when it has none.
int get_label_width(Widget child);
int get_widest_label(WidgetList children, Cardinal count);
// Widest part of a child to the right of its label (own width minus label width).
int get_widest_value(WidgetList children, Cardinal count);
void get_widget_rect(Widget widget, DtbRect *rect);
void get_greatest_size(WidgetList children, Cardinal count, int *width, int *height);
void get_group_cell_size(Widget group, DtbGroupInfo *info, int *cell_width, int *cell_height);
// Rows and columns of the layout; both -1 when neither was requested.
void get_group_row_col(Widget group, DtbGroupInfo *info, int *rows, int *cols);
// The child at (column, row), counted from 0; null for an empty cell.
Widget get_group_child(Widget group, DtbGroupInfo *info, int col, int row);

// The group's children (possibly none).
Cardinal group_children(Widget group, WidgetList *children);

// ---- placing (dtb_align_place.cc) ----------------------------------------------

void align_left(Widget group, DtbGroupInfo *info);
void align_right(Widget group, DtbGroupInfo *info);
void align_top(Widget group, DtbGroupInfo *info);
void align_bottom(Widget group, DtbGroupInfo *info);
void align_vcenter(Widget group, DtbGroupInfo *info, Boolean initial);
void align_hcenter(Widget group, DtbGroupInfo *info, Boolean initial);
void align_labels(Widget group, DtbGroupInfo *info);

// ---- registration and re-alignment (dtb_align.cc) ------------------------------

void center_widget(Widget widget, int direction);
void uncenter_widget(Widget widget, int direction);
void centering_handler(Widget widget, XtPointer client_data, XEvent *event, Boolean *cont);
void align_children(Widget group, DtbGroupInfo *info, Boolean initial);
void align_rows(Widget group, DtbGroupInfo *info, Boolean initial);
void align_cols(Widget group, DtbGroupInfo *info, Boolean initial);
void expose_handler(Widget group, XtPointer client_data, XEvent *event, Boolean *cont);
void align_handler(Widget group, XtPointer client_data, XEvent *event, Boolean *cont);
void free_group_info(Widget group, XtPointer client_data, XtPointer call_data);
