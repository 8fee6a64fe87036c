// A minimal XIM client for the input-method tests: a window that takes the
// keyboard itself (no window manager needed) and reports on standard error
// "ready" once it has the focus and "commit:TEXT" for every string the input
// method commits.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>

int main() {
  std::setlocale(LC_ALL, "");
  XSetLocaleModifiers("");
  Display *d = XOpenDisplay(nullptr);
  if (d == nullptr) return 2;
  XIM im = nullptr;
  for (int i = 0; i < 50 && im == nullptr; ++i) {  // the server may still be starting
    im = XOpenIM(d, nullptr, nullptr, nullptr);
    if (im == nullptr) usleep(100000);
  }
  if (im == nullptr) return 3;
  Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 200, 60, 0, 0, WhitePixel(d, DefaultScreen(d)));
  XIC ic = XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, w, XNFocusWindow, w, nullptr);
  if (ic == nullptr) return 4;
  long im_events = 0;
  XGetICValues(ic, XNFilterEvents, &im_events, nullptr);
  XSelectInput(d, w, KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask | im_events);
  XMapWindow(d, w);
  char text[256];  // longer than any word the tests commit
  for (;;) {
    XEvent ev;
    XNextEvent(d, &ev);
    if (XFilterEvent(&ev, None)) continue;
    if (ev.type == MapNotify) {
      XSetInputFocus(d, w, RevertToPointerRoot, CurrentTime);
    } else if (ev.type == FocusIn) {
      XSetICFocus(ic);
      std::fputs("ready\n", stderr);
    } else if (ev.type == KeyPress) {
      KeySym sym;
      Status status;
      int n = Xutf8LookupString(ic, &ev.xkey, text, sizeof text, &sym, &status);
      if (status == XLookupChars || status == XLookupBoth) std::fprintf(stderr, "commit:%.*s\n", n, text);
    }
  }
}
