// Which input method the text fields use: Korean is typed through an input
// method, and the program opens it only after the locale gate has chosen the
// locale.
#include "app/glosset.h"

#include <X11/Xlib.h>

void glosset_select_input_method(Display *display) {
  // Xlib reads XMODIFIERS (for example "@im=nabi", a Korean input-method
  // server) only here; without this call it keeps its own compose input
  // wherever the locale has a Compose table, as UTF-8 locales do.
  if (display == nullptr || XSetLocaleModifiers("") == nullptr) return;
  XIM probe = XOpenIM(display, nullptr, nullptr, nullptr);
  if (probe != nullptr) {
    XCloseIM(probe);
    return;
  }
  // No server answers (and EUC-KR has no Compose table): Xlib's own input
  // method still turns typed Hangul keysyms into text of the locale.
  XSetLocaleModifiers("@im=none");
}
