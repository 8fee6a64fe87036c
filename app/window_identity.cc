// How the window manager and task bars name and show glosset's windows: the
// title as UTF-8 beside the locale's encoding, and the program's icon.
#include <X11/Shell.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <Xm/Xm.h>

#include <string>
#include <vector>

#include "app/glosset.h"
#include "dtb/dtb_utils.h"
#include "editor/builtin_text.h"
#include "editor/text_mode.h"

namespace {

constexpr int kIconSize = 48;
Pixmap g_icon = XmUNSPECIFIED_PIXMAP;  // loaded once, kept for the whole run

std::string utf8_of(const char *locale_text) {
  if (locale_text == nullptr) return "";
  return is_utf8_mode() ? std::string(locale_text) : builtin_text(locale_text, TextMode::utf8);
}

void put_property(Widget shell, const char *name, const char *type, int format, const void *data, size_t count) {
  Display *d = XtDisplay(shell);
  XChangeProperty(d, XtWindow(shell), XInternAtom(d, name, False), XInternAtom(d, type, False), format,
                  PropModeReplace, static_cast<const unsigned char *>(data), static_cast<int>(count));
}

// _NET_WM_ICON: width, height, then ARGB pixels in rows, from the pixmap.
void put_net_wm_icon(Widget shell) {
  Display *d = XtDisplay(shell);
  XImage *image = XGetImage(d, g_icon, 0, 0, kIconSize, kIconSize, AllPlanes, ZPixmap);
  if (image == nullptr) return;
  Visual *visual = DefaultVisualOfScreen(XtScreen(shell));
  std::vector<long> data{kIconSize, kIconSize};  // format 32 goes through Xlib as longs
  auto channel = [](unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0UL;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) shift++;
    unsigned long value = (pixel & mask) >> shift, max = mask >> shift;
    return value * 255 / max;
  };
  for (int y = 0; y < kIconSize; y++) {
    for (int x = 0; x < kIconSize; x++) {
      unsigned long p = XGetPixel(image, x, y);
      data.push_back(static_cast<long>(0xff000000UL | channel(p, visual->red_mask) << 16 |
                                       channel(p, visual->green_mask) << 8 | channel(p, visual->blue_mask)));
    }
  }
  XDestroyImage(image);
  put_property(shell, "_NET_WM_ICON", "CARDINAL", 32, data.data(), data.size());
}

void publish(Widget shell) {
  String title = nullptr, icon_name = nullptr;
  XtVaGetValues(shell, XmNtitle, &title, nullptr);
  if (XtIsSubclass(shell, topLevelShellWidgetClass)) XtVaGetValues(shell, XmNiconName, &icon_name, nullptr);
  std::string utf8_title = utf8_of(title), utf8_icon_name = utf8_of(icon_name != nullptr ? icon_name : title);
  put_property(shell, "_NET_WM_NAME", "UTF8_STRING", 8, utf8_title.data(), utf8_title.size());
  put_property(shell, "_NET_WM_ICON_NAME", "UTF8_STRING", 8, utf8_icon_name.data(), utf8_icon_name.size());
  Pixmap icon = XmUNSPECIFIED_PIXMAP;
  if (XtIsSubclass(shell, wmShellWidgetClass)) XtVaGetValues(shell, XmNiconPixmap, &icon, nullptr);
  if (icon == g_icon && g_icon != XmUNSPECIFIED_PIXMAP) put_net_wm_icon(shell);
}

void mappedEH(Widget shell, XtPointer, XEvent *event, Boolean *) {
  if (event->type == MapNotify) publish(shell);
}

// The icon of the hicolor theme: beside the executable (the build tree, or an
// installation elsewhere than /usr), else where the package puts it.
Pixmap load_icon(Widget shell) {
  if (g_icon != XmUNSPECIFIED_PIXMAP) return g_icon;
  const std::string tail = "/hicolor/" + std::to_string(kIconSize) + "x" + std::to_string(kIconSize) +
                           "/apps/glosset.png";
  std::vector<std::string> candidates;
  if (const char *exe_dir = dtb_get_exe_dir(); exe_dir != nullptr && *exe_dir != '\0')
    candidates.push_back(std::string(exe_dir) + "/../share/icons" + tail);
  candidates.push_back(GLOSSET_ICON_DIR + tail);
  Screen *screen = XtScreen(shell);
  for (const std::string &path : candidates) {
    Pixmap p = XmGetPixmap(screen, const_cast<char *>(path.c_str()), BlackPixelOfScreen(screen),
                           WhitePixelOfScreen(screen));
    if (p != XmUNSPECIFIED_PIXMAP) return g_icon = p;
  }
  return XmUNSPECIFIED_PIXMAP;
}

}  // namespace

void glosset_identify_window(Widget shell, bool icon) {
  if (shell == nullptr) return;
  if (XtIsSubclass(shell, topLevelShellWidgetClass)) {
    // Task bars show the icon name: the title. With no encoding given, the
    // toolkit encodes both for the running locale instead of labelling the
    // Korean text Latin-1.
    String title = nullptr;
    XtVaGetValues(shell, XmNtitle, &title, nullptr);
    XtVaSetValues(shell, XmNiconName, title, XmNtitleEncoding, None, XmNiconNameEncoding, None, nullptr);
  }
  if (icon) {
    if (Pixmap p = load_icon(shell); p != XmUNSPECIFIED_PIXMAP) XtVaSetValues(shell, XmNiconPixmap, p, nullptr);
  }
  XtAddEventHandler(shell, StructureNotifyMask, False, mappedEH, nullptr);
  if (XtIsRealized(shell)) publish(shell);
}
