// Centering on position attachments, group registration and the handlers that
// re-align a group once its children know their final sizes.
#include <cstdint>
#include <memory>

#include <Xm/Form.h>

#include "dtb/dtb_align_internal.h"

namespace {

XtPointer direction_data(int direction) { return reinterpret_cast<XtPointer>(intptr_t(direction)); }

// Alignments that depend on the sizes the children will finally have.
bool depends_on_final_sizes(const DtbGroupInfo *info) {
  bool centred_rows = info->row_align == DTB_ALIGN_HCENTER;
  bool centred_cols = info->col_align == DTB_ALIGN_LABELS || info->col_align == DTB_ALIGN_VCENTER;
  switch (info->group_type) {
    case DTB_GROUP_ROWS: return centred_rows;
    case DTB_GROUP_COLUMNS: return centred_cols;
    case DTB_GROUP_ROWSCOLUMNS: return centred_rows || centred_cols;
    default: return false;
  }
}

bool has_children(Widget group) {
  WidgetList children;
  return group_children(group, &children) > 0;
}

// Sets the offsets of a centred child; half is true to centre, false to reset.
void set_center_offsets(Widget widget, int direction, bool half) {
  if (widget == nullptr || !XtIsManaged(widget) || !XtIsRealized(widget)) return;
  Widget parent = XtParent(widget);
  if (parent == nullptr || !XmIsForm(parent)) return;
  Dimension width = 0, height = 0;
  unsigned char left = XmATTACH_NONE, top = XmATTACH_NONE;
  XtVaGetValues(widget, XmNwidth, &width, XmNheight, &height, XmNleftAttachment, &left,
                XmNtopAttachment, &top, nullptr);
  int left_offset = half ? -int(width / 2) : 0;
  int top_offset = half ? -int(height / 2) : 0;
  switch (direction) {
    case DTB_CENTER_HORIZONTAL:
      if (left == XmATTACH_POSITION) XtVaSetValues(widget, XmNleftOffset, left_offset, nullptr);
      break;
    case DTB_CENTER_VERTICAL:
      if (top == XmATTACH_POSITION) XtVaSetValues(widget, XmNtopOffset, top_offset, nullptr);
      break;
    case DTB_CENTER_BOTH:
      if (left == XmATTACH_POSITION || top == XmATTACH_POSITION) {
        XtVaSetValues(widget, XmNleftOffset, left_offset, XmNtopOffset, top_offset, nullptr);
      }
      break;
    default: break;
  }
}

void for_each_child(Widget parent, int direction, void (*apply)(Widget, int)) {
  if (parent == nullptr || direction == DTB_CENTER_NONE) return;
  WidgetList children;
  Cardinal count = group_children(parent, &children);
  for (Cardinal i = 0; i < count; ++i) apply(children[i], direction);
}

}  // namespace

void center_widget(Widget widget, int direction) { set_center_offsets(widget, direction, true); }

void uncenter_widget(Widget widget, int direction) { set_center_offsets(widget, direction, false); }

void centering_handler(Widget, XtPointer client_data, XEvent *event, Boolean *) {
  if (event == nullptr || (event->type != ConfigureNotify && event->type != MapNotify)) return;
  Widget widget = XtWindowToWidget(event->xany.display, event->xany.window);
  center_widget(widget, int(reinterpret_cast<intptr_t>(client_data)));
}

void dtb_center(Widget widget, int direction) {
  if (widget == nullptr) return;
  center_widget(widget, direction);
  XtAddEventHandler(widget, StructureNotifyMask, False, centering_handler, direction_data(direction));
}

void dtb_uncenter(Widget widget, int direction) {
  if (widget == nullptr) return;
  uncenter_widget(widget, direction);
  XtRemoveEventHandler(widget, StructureNotifyMask, False, centering_handler,
                       direction_data(direction));
}

void dtb_children_center(Widget parent, int direction) { for_each_child(parent, direction, dtb_center); }

void dtb_children_uncenter(Widget parent, int direction) {
  for_each_child(parent, direction, dtb_uncenter);
}

void dtb_children_align(Widget group, int group_type, int row_align, int col_align, int extra,
                        int num_rows, int num_cols, int hspacing, int vspacing) {
  if (group == nullptr) return;
  if (group_type == DTB_GROUP_ROWS) {
    num_rows = 1;
    num_cols = 0;
  } else if (group_type == DTB_GROUP_COLUMNS) {
    num_rows = 0;
    num_cols = 1;
  }
  auto info = std::make_unique<DtbGroupInfo>(DtbGroupInfo{group_type, row_align, col_align, extra,
                                                          num_rows, num_cols, hspacing, vspacing, 0});
  align_children(group, info.get(), True);
  if (depends_on_final_sizes(info.get())) {
    XtAddEventHandler(group, ExposureMask, False, expose_handler, info.get());
  }
  // The group widget owns the record from here on; free_group_info takes it back.
  XtAddCallback(group, XmNdestroyCallback, free_group_info, info.release());
}

void align_children(Widget group, DtbGroupInfo *info, Boolean initial) {
  if (group == nullptr || info == nullptr) return;
  switch (info->group_type) {
    case DTB_GROUP_ROWS:
      align_rows(group, info, initial);
      align_left(group, info);
      break;
    case DTB_GROUP_COLUMNS:
      align_cols(group, info, initial);
      align_top(group, info);
      break;
    case DTB_GROUP_ROWSCOLUMNS:
      align_rows(group, info, initial);
      align_cols(group, info, initial);
      break;
    default: break;
  }
}

void align_rows(Widget group, DtbGroupInfo *info, Boolean initial) {
  if (info == nullptr || info->group_type == DTB_GROUP_COLUMNS) return;
  switch (info->row_align) {
    case DTB_ALIGN_TOP: align_top(group, info); break;
    case DTB_ALIGN_BOTTOM: align_bottom(group, info); break;
    case DTB_ALIGN_HCENTER: align_hcenter(group, info, initial); break;
    default: break;
  }
}

void align_cols(Widget group, DtbGroupInfo *info, Boolean initial) {
  if (info == nullptr || info->group_type == DTB_GROUP_ROWS) return;
  switch (info->col_align) {
    case DTB_ALIGN_RIGHT: align_right(group, info); break;
    case DTB_ALIGN_LEFT: align_left(group, info); break;
    case DTB_ALIGN_VCENTER: align_vcenter(group, info, initial); break;
    case DTB_ALIGN_LABELS: align_labels(group, info); break;
    default: break;
  }
}

void expose_handler(Widget group, XtPointer client_data, XEvent *, Boolean *) {
  auto *info = static_cast<DtbGroupInfo *>(client_data);
  if (info == nullptr || !has_children(group)) return;
  XtRemoveEventHandler(group, ExposureMask, False, expose_handler, client_data);
  if (!depends_on_final_sizes(info)) return;
  align_children(group, info, False);
  XtAddEventHandler(group, SubstructureNotifyMask, False, align_handler, client_data);
}

void align_handler(Widget group, XtPointer client_data, XEvent *event, Boolean *) {
  auto *info = static_cast<DtbGroupInfo *>(client_data);
  if (info == nullptr || event == nullptr || !has_children(group)) return;
  // Out while we work, so that our own attachment changes do not start another pass.
  XtRemoveEventHandler(group, SubstructureNotifyMask, False, align_handler, client_data);
  bool child_resized = event->type == ConfigureNotify && event->xconfigure.window != XtWindow(group);
  if ((child_resized && depends_on_final_sizes(info)) || event->type == CreateNotify ||
      event->type == DestroyNotify) {
    align_children(group, info, False);
  }
  XtAddEventHandler(group, SubstructureNotifyMask, False, align_handler, client_data);
}

void free_group_info(Widget, XtPointer client_data, XtPointer) {
  std::unique_ptr<DtbGroupInfo> owned(static_cast<DtbGroupInfo *>(client_data));
}
