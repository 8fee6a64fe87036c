// Measuring a group: its cells, its grid addressing and the labels of its children.
#include <algorithm>
#include <string>
#include <string_view>

#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/LabelG.h>

#include "dtb/dtb_align_internal.h"

namespace {

// A descendant of parent with exactly this name, at any depth.
Widget find_descendant(Widget parent, const std::string &name) {
  std::string pattern = "*" + name;
  return XtNameToWidget(parent, pattern.c_str());
}

}  // namespace

Cardinal group_children(Widget group, WidgetList *children) {
  *children = nullptr;
  if (group == nullptr || !XtIsComposite(group)) return 0;
  Cardinal count = 0;
  XtVaGetValues(group, XmNchildren, children, XmNnumChildren, &count, nullptr);
  return *children == nullptr ? 0 : count;
}

Widget get_label_widget(Widget child) {
  if (child == nullptr) return nullptr;
  if (XmIsLabel(child) || XmIsLabelGadget(child)) return child;

  std::string_view name = XtName(child);
  if (size_t cut = name.rfind('_'); cut != std::string_view::npos) {
    if (Widget label = find_descendant(child, std::string(name.substr(0, cut)) + "_label")) return label;
  }
  if (Widget label = find_descendant(child, std::string(name) + "_label")) return label;

  if (XmIsForm(child) || XmIsFrame(child)) {
    WidgetList kids;
    if (group_children(child, &kids) > 0) return get_label_widget(kids[0]);
  }
  return nullptr;
}

int get_offset_from_ancestor(Widget ancestor, Widget widget) {
  int offset = 0;
  for (Widget w = widget; w != nullptr && w != ancestor; w = XtParent(w)) {
    Position x = 0;
    XtVaGetValues(w, XmNx, &x, nullptr);
    offset += x;
  }
  return offset;
}

int get_label_width(Widget child) {
  Widget label = get_label_widget(child);
  if (label == nullptr) return 0;
  Dimension width = 0;
  XtVaGetValues(label, XmNwidth, &width, nullptr);
  return int(width) + get_offset_from_ancestor(child, label);
}

int get_widest_label(WidgetList children, Cardinal count) {
  int widest = 0;
  for (Cardinal i = 0; i < count; ++i) widest = std::max(widest, get_label_width(children[i]));
  return widest;
}

int get_widest_value(WidgetList children, Cardinal count) {
  int widest = 0;
  for (Cardinal i = 0; i < count; ++i) {
    DtbRect rect;
    get_widget_rect(children[i], &rect);
    widest = std::max(widest, rect.width - get_label_width(children[i]));
  }
  return widest;
}

void get_widget_rect(Widget widget, DtbRect *rect) {
  Position x = 0, y = 0;
  Dimension width = 0, height = 0;
  if (widget != nullptr) {
    XtVaGetValues(widget, XmNx, &x, XmNy, &y, XmNwidth, &width, XmNheight, &height, nullptr);
  }
  *rect = {x, y, width, height};
}

void get_greatest_size(WidgetList children, Cardinal count, int *width, int *height) {
  *width = 0;
  *height = 0;
  for (Cardinal i = 0; i < count; ++i) {
    DtbRect rect;
    get_widget_rect(children[i], &rect);
    *width = std::max(*width, rect.width);
    *height = std::max(*height, rect.height);
  }
}

void get_group_cell_size(Widget group, DtbGroupInfo *, int *cell_width, int *cell_height) {
  WidgetList children;
  Cardinal count = group_children(group, &children);
  get_greatest_size(children, count, cell_width, cell_height);
}

void get_group_row_col(Widget group, DtbGroupInfo *info, int *rows, int *cols) {
  *rows = -1;
  *cols = -1;
  if (info == nullptr) return;
  int r = info->num_rows, c = info->num_cols;
  if (r <= 0 && c <= 0) return;
  WidgetList children;
  int n = int(group_children(group, &children));
  if (c <= 0) c = (n + r - 1) / r;
  if (r <= 0) r = (n + c - 1) / c;
  *rows = r;
  *cols = c;
}

Widget get_group_child(Widget group, DtbGroupInfo *info, int col, int row) {
  if (info == nullptr || col < 0 || row < 0) return nullptr;
  long index;
  switch (info->group_type) {
    case DTB_GROUP_ROWS: index = col; break;
    case DTB_GROUP_COLUMNS: index = row; break;
    case DTB_GROUP_ROWSCOLUMNS:
      if (info->num_rows <= 0 && info->num_cols > 0) {
        if (col >= info->num_cols) return nullptr;
        index = long(row) * info->num_cols + col;  // row-major
      } else if (info->num_rows > 0) {
        if (row >= info->num_rows) return nullptr;
        index = long(col) * info->num_rows + row;  // column-major
      } else {
        return nullptr;
      }
      break;
    default: return nullptr;
  }
  WidgetList children;
  Cardinal count = group_children(group, &children);
  return index < long(count) ? children[index] : nullptr;
}
