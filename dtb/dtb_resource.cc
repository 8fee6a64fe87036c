// Resource values from strings, and keyboard focus off paned-window sashes.
#include <cstdint>
#include <cstring>

#include <Xm/PanedW.h>
#include <Xm/SashP.h>

#include "dtb/dtb_utils.h"

unsigned long dtb_cvt_resource_from_string(Widget widget, String res_type, unsigned int size_of_type,
                                           String res_str_value, unsigned long error_value) {
  if (size_of_type != 1 && size_of_type != 2 && size_of_type != 4) return error_value;
  if (widget == nullptr || res_type == nullptr || res_str_value == nullptr) return error_value;

  XrmValue from;
  from.addr = reinterpret_cast<XPointer>(res_str_value);
  from.size = static_cast<unsigned int>(std::strlen(res_str_value) + 1);

  union {
    uint8_t u8;
    uint16_t u16;
    uint32_t u32;
    unsigned long ul;
  } value{};
  XrmValue to;
  to.addr = reinterpret_cast<XPointer>(&value);
  // A converter refuses a slot smaller than its type; on 64-bit hosts a Pixel,
  // asked for as 4 bytes, is stored as 8. Its value still fits 32 bits.
  to.size = size_of_type == 4 ? sizeof value : size_of_type;
  if (!XtConvertAndStore(widget, XtRString, &from, res_type, &to)) return error_value;
  switch (to.size) {
    case 1: return value.u8;
    case 2: return value.u16;
    case 4: return value.u32;
    default: return static_cast<uint32_t>(value.ul);
  }
}

void dtb_remove_sash_focus(Widget widget) {
  if (widget == nullptr || !XmIsPanedWindow(widget)) return;
  WidgetList children = nullptr;
  Cardinal num_children = 0;
  XtVaGetValues(widget, XmNchildren, &children, XmNnumChildren, &num_children, nullptr);
  for (Cardinal i = 0; i < num_children; ++i)
    if (XmIsSash(children[i])) XtVaSetValues(children[i], XmNtraversalOn, False, nullptr);
}
