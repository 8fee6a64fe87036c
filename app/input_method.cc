// Which input method the text fields use: Korean is typed through an input
// method, and the program opens it only after the locale gate has chosen the
// locale.
#include "app/glosset.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
std::string g_server;  // the server XMODIFIERS names, when it answered
}

void glosset_select_input_method(Display *display) {
  // Xlib reads XMODIFIERS (for example "@im=nabi", a Korean input-method
  // server) only here; without this call it keeps its own compose input
  // wherever the locale has a Compose table, as UTF-8 locales do.
  g_server.clear();
  if (display == nullptr || XSetLocaleModifiers("") == nullptr) return;
  XIM probe = XOpenIM(display, nullptr, nullptr, nullptr);
  if (probe != nullptr) {
    XCloseIM(probe);
    // An input-method server owns the selection "@server=NAME"; without one
    // the method Xlib opened is its own.
    const char *modifiers = std::getenv("XMODIFIERS");
    const char *im = modifiers != nullptr ? std::strstr(modifiers, "@im=") : nullptr;
    if (im != nullptr) {
      std::string name(im + 4, std::strcspn(im + 4, "@"));
      Atom server = XInternAtom(display, ("@server=" + name).c_str(), True);
      if (!name.empty() && server != None && XGetSelectionOwner(display, server) != None) g_server = name;
    }
    return;
  }
  // No server answers (and EUC-KR has no Compose table): Xlib's own input
  // method still turns typed Hangul keysyms into text of the locale.
  XSetLocaleModifiers("@im=none");
}

const char *glosset_input_method_name() { return g_server.c_str(); }
