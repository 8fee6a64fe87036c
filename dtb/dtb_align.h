// Group alignment and centering of the children of Motif forms.
//
// Everything is done through the form attachment resources of the children:
// centering keeps a child on a position attachment by giving it an offset of
// minus half its size; group alignment lays all children of a form out as one
// row, one column or a grid, and re-aligns when the children's final sizes
// become known.
#pragma once
#include <Xm/Xm.h>

// How the cells of a row line up vertically (TOP, BOTTOM, HCENTER) and how the
// cells of a column line up horizontally (RIGHT, LEFT, VCENTER, LABELS).
// Any other value makes the corresponding step do nothing.
typedef enum {
  DTB_ALIGN_NONE = 0,
  DTB_ALIGN_TOP = 1,
  DTB_ALIGN_RIGHT = 2,
  DTB_ALIGN_BOTTOM = 3,
  DTB_ALIGN_LEFT = 4,
  DTB_ALIGN_VCENTER = 5,
  DTB_ALIGN_HCENTER = 6,
  DTB_ALIGN_LABELS = 7,
} DtbAlignment;

typedef enum {
  DTB_GROUP_NONE = 0,
  DTB_GROUP_ROWS = 1,           // one row
  DTB_GROUP_COLUMNS = 2,        // one column
  DTB_GROUP_ROWSCOLUMNS = 3,    // a grid of rows and columns
} DtbGroupType;

typedef enum {
  DTB_CENTER_NONE = 0,
  DTB_CENTER_HORIZONTAL = 1,
  DTB_CENTER_VERTICAL = 2,
  DTB_CENTER_BOTH = 3,
} DtbCenterDirection;

// One per aligned group; owned by the group widget and freed when it is destroyed.
struct DtbGroupInfo {
  int group_type;   // DtbGroupType
  int row_align;    // DtbAlignment used for rows
  int col_align;    // DtbAlignment used for columns
  int extra;        // kept for the caller; no alignment step reads it
  int num_rows;     // 0 or less: worked out from the children count
  int num_cols;     // 0 or less: worked out from the children count
  int hspacing;     // pixels between cells of a row
  int vspacing;     // pixels between rows
  int reserved;
};

void dtb_children_center(Widget parent, int direction);
void dtb_children_uncenter(Widget parent, int direction);
void dtb_center(Widget widget, int direction);
void dtb_uncenter(Widget widget, int direction);
void dtb_children_align(Widget group, int group_type, int row_align, int col_align, int extra,
                        int num_rows, int num_cols, int hspacing, int vspacing);
