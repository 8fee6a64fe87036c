// Running the built editor as a child process on the test's X display, and
// watching and driving its windows from outside, as a user would.
#pragma once
#include <X11/Xlib.h>
#include <sys/types.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/scratch.h"

namespace app_test {

// Environment changes for a child: a value sets the variable, nullopt unsets it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

// The editor's environment for a run from the build tree: catalogs and
// resource files of the build, with LANG as given.
EnvChanges build_tree_env(const char *lang);

// A scratch $HOME with a copy of the sample system dictionary in it (a short
// path: the store's paths are limited to 79 bytes), for runs of the editor.
class EditorHome {
 public:
  EditorHome() : dir_("glosset-e2e") {}
  const std::string &path() const { return dir_.path(); }
  std::string user_dict() const { return dir_ / ".usrhjd"; }
  std::string system_dict() const { return dir_ / "syshjd"; }
  // Copies the sample system dictionary in; true when that worked.
  bool add_system_dict() const;
  // The editor's environment: the build tree's, HOME here, this system
  // dictionary, and USRDICNAME as given (nullopt: the user's $HOME/.usrhjd).
  EnvChanges env(const char *lang, const std::optional<std::string> &usrdicname = std::nullopt) const;

 private:
  scratch::Dir dir_;
};

// The editor's command line. With no input-method server on the display the
// editor takes Xlib's own input method in either mode, which is what these
// tests type Hangul into.
std::vector<std::string> editor_args(bool euc);

// Polls done() every 50 ms for up to timeout_ms; answers done().
bool wait_for(const std::function<bool()> &done, int timeout_ms = 5000);

class Child {
 public:
  // Start `argv` (argv[0] is the program path) with the test's environment
  // changed by `env`; standard error is captured.
  Child(const std::vector<std::string> &argv, const EnvChanges &env);
  ~Child();
  Child(const Child &) = delete;
  Child &operator=(const Child &) = delete;

  // Wait up to `timeout_ms` for the exit; the exit status, or -1 on a signal
  // or a timeout (the child is then killed).
  int wait(int timeout_ms = 10000);
  // Everything the child wrote to standard error (complete after wait()).
  const std::string &stderr_text();
  // The child's peak resident set in KiB (known after a successful wait()).
  long max_rss_kb() const { return max_rss_kb_; }

 private:
  void drain(bool block);
  pid_t pid_ = -1;
  int err_fd_ = -1;
  std::string err_;
  long max_rss_kb_ = 0;
};

// Watches the screen for windows being mapped (toplevels and menus alike).
class MapWatcher {
 public:
  MapWatcher();
  ~MapWatcher();
  Display *display() const { return display_; }
  // The next editor toplevel (WM_CLASS "Glosset") mapped on the root, waiting
  // up to `timeout_ms`; 0 if none.
  Window next_toplevel(int timeout_ms = 10000);
  // The next menu (an override-redirect window on the screen) mapped.
  Window next_menu(int timeout_ms = 5000);
  // How many windows were mapped since the last call, without waiting.
  int count_mapped();

 private:
  template <typename Pred>
  Window next_mapped(int timeout_ms, Pred pred);
  Display *display_;
};

// A window of a tree with its place relative to the tree's top window.
struct WindowBox {
  Window window;
  int x, y, width, height;
  Window parent;
};
// Every window below `top` (not `top` itself), parents before children.
std::vector<WindowBox> window_tree(Display *display, Window top);
// The editor's 56 x 23 command buttons, top to bottom: Find, Add, Modify, Delete.
std::vector<WindowBox> command_buttons(Display *display, Window top);
// The topmost of them, Find.
std::optional<WindowBox> find_button(Display *display, Window top);
// The two list windows, system list first (the scrolled windows are 311 wide).
std::vector<WindowBox> list_windows(Display *display, Window top);

// The window's pixel values, row by row.
struct Pixels {
  int width = 0, height = 0;
  std::vector<unsigned long> pixels;
  bool operator==(const Pixels &) const = default;
};
Pixels grab(Display *display, Window window);
// Grabs until two grabs 100 ms apart agree, so that a window still being
// painted after it was mapped is not taken for its finished state.
Pixels grab_settled(Display *display, Window window);
// Text lines in `now`: runs of rows that differ from `empty` (the same window
// before anything was drawn into it), gaps of one row bridged.
int text_lines(const Pixels &empty, const Pixels &now);

// Send the window manager's "close this window" request to `window`.
void send_wm_delete(Display *display, Window window);
// The window's title (WM_NAME) as UTF-8.
std::string window_title(Display *display, Window window);
// Run xdotool with `args`; true when it succeeded.
bool xdotool(const std::string &args);
// Button 1 at (x, y) of `window`, or at the middle of `box` (a window of the
// tree below `window`), through xdotool.
bool click(Window window, int x, int y);
bool click_center(Window window, const WindowBox &box);
// Saves a picture of the window to `path` (the directories above are made).
bool screenshot(Window window, const std::string &path);

}  // namespace app_test
