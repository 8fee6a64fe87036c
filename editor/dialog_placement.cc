// The add/modify dialog's place beside the main window.
#include "editor/dialog_placement.h"

#include <X11/Xlib.h>
#include <Xm/Xm.h>

#include <algorithm>

namespace {

bool fits(const ScreenBox &b, const ScreenBox &screen) {
  return b.x >= 0 && b.y >= 0 && b.x + b.width <= screen.width && b.y + b.height <= screen.height;
}

// The box of `window`'s top-level frame (the window itself without a window
// manager) and the window's own box, both in root coordinates.
bool outer_and_inner(Display *d, Window window, ScreenBox *outer, ScreenBox *inner) {
  Window root = 0, parent = 0, *children = nullptr, frame = window;
  unsigned int count = 0;
  for (Window w = window; XQueryTree(d, w, &root, &parent, &children, &count) != 0; w = parent) {
    if (children != nullptr) XFree(children);
    if (parent == root || parent == 0) {
      frame = w;
      break;
    }
  }
  Window ignored = 0;
  unsigned int width = 0, height = 0, border = 0, depth = 0;
  int x = 0, y = 0;
  if (!XGetGeometry(d, frame, &ignored, &x, &y, &width, &height, &border, &depth)) return false;
  *outer = {x, y, static_cast<int>(width + 2 * border), static_cast<int>(height + 2 * border)};
  if (!XGetGeometry(d, window, &ignored, &x, &y, &width, &height, &border, &depth)) return false;
  Window child = 0;
  XTranslateCoordinates(d, window, root, 0, 0, &x, &y, &child);
  *inner = {x, y, static_cast<int>(width), static_cast<int>(height)};
  return true;
}

ScreenBox root_box(Widget w) {
  Window child = 0;
  int x = 0, y = 0;
  Display *d = XtDisplay(w);
  XTranslateCoordinates(d, XtWindow(w), DefaultRootWindow(d), 0, 0, &x, &y, &child);
  Dimension width = 0, height = 0;
  XtVaGetValues(w, XmNwidth, &width, XmNheight, &height, nullptr);
  return {x, y, width, height};
}

}  // namespace

ScreenBox place_beside(ScreenBox main, ScreenBox keep_clear, ScreenBox dialog, ScreenBox screen) {
  const ScreenBox candidates[] = {
      {main.x + main.width, main.y, dialog.width, dialog.height},   // right
      {main.x, main.y + main.height, dialog.width, dialog.height},  // below
      {main.x - dialog.width, main.y, dialog.width, dialog.height}, // left
      {main.x, main.y - dialog.height, dialog.width, dialog.height} // above
  };
  for (ScreenBox b : candidates) {
    // Beside the window the dialog may slide along it to stay on the screen.
    if (b.x != main.x) b.y = std::clamp(b.y, 0, std::max(0, screen.height - b.height));
    if (b.y != main.y) b.x = std::clamp(b.x, 0, std::max(0, screen.width - b.width));
    if (fits(b, screen)) return b;
  }
  // No side has room (a screen hardly larger than the main window).
  return {std::max(0, screen.width - dialog.width),
          std::clamp(keep_clear.y + keep_clear.height, 0, std::max(0, screen.height - dialog.height)), dialog.width,
          dialog.height};
}

void place_dialog_beside(Widget dialog_shell, Widget main_shell, Widget field, Widget find) {
  if (dialog_shell == nullptr || main_shell == nullptr || !XtIsRealized(main_shell)) return;
  Display *d = XtDisplay(main_shell);
  ScreenBox outer{}, inner{};
  if (!outer_and_inner(d, XtWindow(main_shell), &outer, &inner)) return;
  // The window manager's frame, if any, is taken to be the same for the dialog.
  const int frame_width = outer.width - inner.width, frame_height = outer.height - inner.height;

  Dimension width = 0, height = 0;
  XtVaGetValues(dialog_shell, XmNwidth, &width, XmNheight, &height, nullptr);
  ScreenBox keep_clear = {inner.x, inner.y, 0, 0};
  if (field != nullptr && find != nullptr && XtIsRealized(field) && XtIsRealized(find)) {
    const ScreenBox a = root_box(field), b = root_box(find);
    keep_clear = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x + a.width, b.x + b.width) - std::min(a.x, b.x),
                  std::max(a.y + a.height, b.y + b.height) - std::min(a.y, b.y)};
  }
  Screen *screen = XtScreen(main_shell);
  const ScreenBox place = place_beside(outer, keep_clear, {0, 0, width + frame_width, height + frame_height},
                                       {0, 0, WidthOfScreen(screen), HeightOfScreen(screen)});
  // Without a window manager this is the window's place; a manager that
  // honours it puts its frame there (north-west gravity).
  XtVaSetValues(dialog_shell, XmNx, place.x, XmNy, place.y, nullptr);
}
