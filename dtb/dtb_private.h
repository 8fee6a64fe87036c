// Small helpers shared by the runtime's own files: owning wrappers for the
// toolkit's and the C library's allocations, and the walk up to a shell.
// Not part of the public interface of the runtime.
#pragma once
#include <cstdlib>
#include <memory>
#include <type_traits>

#include <Xm/Xm.h>

namespace dtb {

// A compound string freed with XmStringFree when the owner goes away.
struct XmStringFreer {
  void operator()(XmString s) const {
    if (s != nullptr) XmStringFree(s);
  }
};
using UniqueXmString = std::unique_ptr<std::remove_pointer_t<XmString>, XmStringFreer>;

// Makes a compound string of text in the current locale's encoding.
inline UniqueXmString make_xmstring(const char *text) {
  return UniqueXmString(XmStringCreateLocalized(const_cast<char *>(text)));
}

// A block from malloc/strdup, released with free.
struct MallocFreer {
  void operator()(void *p) const { std::free(p); }
};
using UniqueCString = std::unique_ptr<char, MallocFreer>;

// The widget itself when it is a shell, else its nearest shell ancestor;
// null when the chain ends without one.
inline Widget find_shell(Widget w) {
  while (w != nullptr && !XtIsShell(w)) w = XtParent(w);
  return w;
}

// The XmNuserData of a widget read as an integer-sized value.
inline XtPointer user_data_of(Widget w, XtPointer preset) {
  XtPointer value = preset;
  XtVaGetValues(w, XmNuserData, &value, nullptr);
  return value;
}

}  // namespace dtb

// Clean-up of a message dialog, run when its shell pops down: destroys the
// shell. The help copy goes with the shell, by its destroy callback, also when
// the shell is destroyed without a popdown (with its parent).
void destroyCB(Widget shell, XtPointer client_data, XtPointer call_data);
// Stores the answer code (client data) in the int whose address the calling
// widget holds in XmNuserData.
void modal_dlgCB(Widget widget, XtPointer answer_code, XtPointer call_data);
