// Running the built editor as a child process on the test's X display, and
// watching and driving its windows from outside, as a user would.
#pragma once
#include <X11/Xlib.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/app/child.h"

namespace app_test {

// The build tree's catalogs and resource files, with LANG as given (nullptr: unset).
EnvChanges build_tree_env(const char *lang);

// Watches the screen for windows being mapped.
class MapWatcher {
 public:
  MapWatcher();
  ~MapWatcher() { XCloseDisplay(display_); }
  Display *display() const { return display_; }
  Window next_toplevel(int timeout_ms = 10000);  // WM_CLASS "Glosset"; 0 if none came
  Window next_menu(int timeout_ms = 5000);       // an override-redirect window on the screen

 private:
  Window next_mapped(int timeout_ms, const std::function<bool(Window)> &pred);
  Display *display_ = nullptr;
};

// The editor started with its toplevel mapped (window() is 0 if it never came).
class RunningEditor {
 public:
  RunningEditor(const EnvChanges &env, const std::vector<std::string> &argv);
  Display *display() const { return watcher.display(); }
  MapWatcher watcher;
  Child child;
  Window window;
};

// A window of a tree with its place relative to the tree's top window.
struct WindowBox {
  Window window;
  int x, y, width, height;
  Window parent;
};
std::vector<WindowBox> window_tree(Display *display, Window top);  // parents before children
// The 56 x 23 command buttons, top to bottom: Find, Add, Modify, Delete.
std::vector<WindowBox> command_buttons(Display *display, Window top);
std::optional<WindowBox> find_button(Display *display, Window top);
// The two list windows, system list first (their scrolled windows are 311 wide).
std::vector<WindowBox> list_windows(Display *display, Window top);

struct Pixels {
  std::vector<std::string> rows;  // the image bytes, a row each
  bool operator==(const Pixels &) const = default;
};
Pixels grab(Display *display, Window window);
// Grabs until two grabs 100 ms apart agree: the finished picture of a window still being painted.
Pixels grab_settled(Display *display, Window window);
// The text lines of each window, waited for (up to 20 s) to become `want`.
std::vector<int> lines_shown(Display *display, const std::vector<WindowBox> &windows,
                             const std::vector<Pixels> &empty, const std::vector<int> &want);

void send_wm_delete(Display *display, Window window);
std::string window_title(Display *display, Window window);  // WM_NAME as UTF-8
bool xdotool(const std::string &args);
bool click(Window window, int x, int y);  // button 1, through xdotool
bool click_center(Window window, const WindowBox &box);
// Types reading into the main field (which ends 26 pixels left of Find) and presses Find; then presses Add, types
// word into the dialog's Hanja field and presses Return, the dialog's default button, OK. False if a step failed.
bool find(Window window, const WindowBox &find_button, const std::string &reading);
bool find_and_add(RunningEditor &editor, const std::string &reading, const std::string &word);

}  // namespace app_test
