// Outside observation of the windows of child processes.
#include "tests/app/process.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>

namespace app_test {

EnvChanges build_tree_env(const char *lang) {
  const std::string build = GLOSSET_BUILD_DIR;
  return {{"NLSPATH", build + "/nls/%L/LC_MESSAGES/%N.cat"},
          {"XFILESEARCHPATH", build + "/app-defaults/%L/%N"},
          {"LANG", lang ? std::optional<std::string>(lang) : std::nullopt},
          {"LC_ALL", std::nullopt}};
}

MapWatcher::MapWatcher() {
  // The server may still be busy with a client that has just gone away.
  for (int i = 0; i < 50 && display_ == nullptr; i++, sleep_ms(20)) display_ = XOpenDisplay(nullptr);
  if (display_ == nullptr) std::abort();
  XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
  XSync(display_, False);
}

Window MapWatcher::next_mapped(int timeout_ms, const std::function<bool(Window)> &pred) {
  Window found = 0;
  wait_for([&] {
    for (XEvent ev; found == 0 && XCheckTypedEvent(display_, MapNotify, &ev);)
      if (ev.xmap.event == DefaultRootWindow(display_) && pred(ev.xmap.window)) found = ev.xmap.window;
    return found != 0;
  }, timeout_ms, 10);
  return found;
}

Window MapWatcher::next_toplevel(int timeout_ms) {
  return next_mapped(timeout_ms, [this](Window w) {
    XClassHint hint = {};
    if (!XGetClassHint(display_, w, &hint)) return false;
    const bool ours = hint.res_class != nullptr && std::strcmp(hint.res_class, "Glosset") == 0;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return ours;
  });
}

Window MapWatcher::next_menu(int timeout_ms) {
  // Motif keeps a 10x10 drag window off the screen; a menu is on it.
  return next_mapped(timeout_ms, [this](Window w) {
    XWindowAttributes a;
    return XGetWindowAttributes(display_, w, &a) && a.override_redirect && a.x >= 0 && a.y >= 0;
  });
}

RunningEditor::RunningEditor(const EnvChanges &env, const std::vector<std::string> &argv)
    : child(argv, env), window(watcher.next_toplevel()) {}

void send_wm_delete(Display *display, Window window) {
  XEvent ev = {};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = window;
  ev.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, window, False, NoEventMask, &ev);
  XFlush(display);
}

std::string window_title(Display *display, Window window) {
  std::setlocale(LC_CTYPE, "C.UTF-8");  // the title is read back as UTF-8
  XTextProperty prop = {};
  if (!XGetWMName(display, window, &prop)) return "<none>";
  char **list = nullptr;
  int count = 0;
  std::string title;
  if (Xutf8TextPropertyToTextList(display, &prop, &list, &count) >= Success && count > 0) title = list[0];
  if (list != nullptr) XFreeStringList(list);
  XFree(prop.value);
  return title;
}

std::vector<WindowBox> window_tree(Display *display, Window top) {
  std::vector<WindowBox> boxes;
  std::vector<WindowBox> pending = {{top, 0, 0, 0, 0, 0}};
  while (!pending.empty()) {
    const WindowBox at = pending.back();
    pending.pop_back();
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, at.window, &root, &parent, &children, &count)) continue;
    for (unsigned int i = 0; i < count; i++) {
      XWindowAttributes a;
      if (!XGetWindowAttributes(display, children[i], &a)) continue;
      boxes.push_back({children[i], at.x + a.x, at.y + a.y, a.width, a.height, at.window});
      pending.push_back(boxes.back());
    }
    if (children != nullptr) XFree(children);
  }
  return boxes;
}

std::vector<WindowBox> command_buttons(Display *display, Window top) {
  std::vector<WindowBox> buttons;
  for (const WindowBox &b : window_tree(display, top)) {
    if (b.width == 56 && b.height == 23) buttons.push_back(b);
  }
  std::sort(buttons.begin(), buttons.end(), [](const WindowBox &a, const WindowBox &b) { return a.y < b.y; });
  return buttons;
}

std::optional<WindowBox> find_button(Display *display, Window top) {
  std::vector<WindowBox> buttons = command_buttons(display, top);
  return buttons.empty() ? std::nullopt : std::optional<WindowBox>(buttons.front());
}

std::vector<WindowBox> list_windows(Display *display, Window top) {
  const std::vector<WindowBox> boxes = window_tree(display, top);
  std::vector<WindowBox> lists;
  for (const WindowBox &sw : boxes) {
    if (sw.width != 311) continue;
    std::optional<WindowBox> list;  // the largest child of the scrolled window
    for (const WindowBox &c : boxes) {
      if (c.parent == sw.window && (!list || c.width * c.height > list->width * list->height)) list = c;
    }
    if (list) lists.push_back(*list);
  }
  std::sort(lists.begin(), lists.end(), [](const WindowBox &a, const WindowBox &b) { return a.y < b.y; });
  return lists;
}

Pixels grab(Display *display, Window window) {
  Pixels g;
  XWindowAttributes a;
  if (!XGetWindowAttributes(display, window, &a)) return g;
  XImage *image = XGetImage(display, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (image == nullptr) return g;
  for (int y = 0; y < a.height; y++) g.rows.emplace_back(image->data + y * image->bytes_per_line, image->bytes_per_line);
  XDestroyImage(image);
  return g;
}

Pixels grab_settled(Display *display, Window window) {
  Pixels last = grab(display, window);
  for (int i = 0; i < 200; i++) {
    sleep_ms(100);
    Pixels now = grab(display, window);
    if (now == last) break;
    last = std::move(now);
  }
  return last;
}

namespace {

// Text lines in `now`: runs of rows that differ from `empty`, gaps of one row bridged.
int text_lines(const Pixels &empty, const Pixels &now) {
  if (empty.rows.size() != now.rows.size() || (!now.rows.empty() && empty.rows[0].size() != now.rows[0].size())) return -1;
  int lines = 0, gap = 2;
  for (size_t y = 0; y < now.rows.size(); y++) {
    const bool ink = empty.rows[y] != now.rows[y];
    if (ink && gap > 1) lines++;
    gap = ink ? 0 : gap + 1;
  }
  return lines;
}

}  // namespace

std::vector<int> lines_shown(Display *display, const std::vector<WindowBox> &windows,
                             const std::vector<Pixels> &empty, const std::vector<int> &want) {
  std::vector<int> lines(windows.size());
  wait_for(
      [&] {
        for (size_t i = 0; i < windows.size(); i++) lines[i] = text_lines(empty[i], grab(display, windows[i].window));
        return lines == want;
      },
      20000);  // generous: sanitizer builds start slowly
  return lines;
}

bool xdotool(const std::string &args) { return std::system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0; }

bool click(Window window, int x, int y) {
  return xdotool("mousemove --window " + std::to_string(window) + " " + std::to_string(x) + " " + std::to_string(y) +
                 " click 1");
}

bool click_center(Window window, const WindowBox &box) {
  return click(window, box.x + box.width / 2, box.y + box.height / 2);
}

bool find(Window window, const WindowBox &find_button, const std::string &reading) {
  return click(window, find_button.x - 40, find_button.y + 11) && xdotool("type --delay 120 " + reading) &&
         click_center(window, find_button);
}

bool find_and_add(RunningEditor &editor, const std::string &reading, const std::string &word) {
  const std::vector<WindowBox> buttons = command_buttons(editor.display(), editor.window);
  if (buttons.size() != 4 || !find(editor.window, buttons[0], reading)) return false;
  sleep_ms(300);
  if (!click_center(editor.window, buttons[1])) return false;
  Window dialog = editor.watcher.next_toplevel();
  WindowBox field = {};
  for (const WindowBox &b : window_tree(editor.display(), dialog))
    if (b.y == 72 && b.x > 21) field = b;  // the Hanja field's row
  return click_center(dialog, field) && xdotool("type --delay 120 " + word) && xdotool("key Return");
}

}  // namespace app_test
