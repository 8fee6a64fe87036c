// Child processes and outside observation of their windows.
#include "tests/app/process.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

extern char **environ;

namespace app_test {

EnvChanges build_tree_env(const char *lang) {
  std::string build = GLOSSET_BUILD_DIR;
  EnvChanges env = {
      {"NLSPATH", build + "/nls/%L/LC_MESSAGES/%N.cat"},
      {"XFILESEARCHPATH", build + "/app-defaults/%L/%N"},
  };
  if (lang != nullptr) {
    env["LANG"] = std::string(lang);
  } else {
    env["LANG"] = std::nullopt;
  }
  env["LC_ALL"] = std::nullopt;
  return env;
}

bool EditorHome::add_system_dict() const {
  std::error_code error;
  return std::filesystem::copy_file(GLOSSET_BUILD_DIR "/sample/syshjd", system_dict(), error);
}

EnvChanges EditorHome::env(const char *lang, const std::optional<std::string> &usrdicname) const {
  EnvChanges e = build_tree_env(lang);
  e["HOME"] = path();
  e["USRDICNAME"] = usrdicname;
  e["SYSDICNAME"] = system_dict();
  return e;
}

std::vector<std::string> editor_args(bool) { return {GLOSSET_BINARY}; }

bool wait_for(const std::function<bool()> &done, int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

Child::Child(const std::vector<std::string> &argv, const EnvChanges &env) {
  std::map<std::string, std::string> vars;
  for (char **e = environ; *e != nullptr; e++) {
    std::string entry = *e;
    size_t eq = entry.find('=');
    if (eq != std::string::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto &[name, value] : env) {
    if (value) {
      vars[name] = *value;
    } else {
      vars.erase(name);
    }
  }
  std::vector<std::string> entries;
  for (const auto &[name, value] : vars) entries.push_back(name + "=" + value);

  int fds[2];
  if (pipe(fds) != 0) {
    std::perror("Child: pipe");
    std::abort();
  }
  pid_ = fork();
  if (pid_ == 0) {
    dup2(fds[1], 2);
    close(fds[0]);
    close(fds[1]);
    std::vector<char *> args, envp;
    for (const std::string &a : argv) args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string &e : entries) envp.push_back(const_cast<char *>(e.c_str()));
    envp.push_back(nullptr);
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }
  close(fds[1]);
  err_fd_ = fds[0];
  fcntl(err_fd_, F_SETFL, O_NONBLOCK);
}

Child::~Child() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (err_fd_ >= 0) close(err_fd_);
}

void Child::drain(bool block) {
  char buf[4096];
  for (;;) {
    if (block) {
      pollfd p = {err_fd_, POLLIN, 0};
      poll(&p, 1, 1000);
    }
    ssize_t n = read(err_fd_, buf, sizeof buf);
    if (n <= 0) return;
    err_.append(buf, static_cast<size_t>(n));
  }
}

int Child::wait(int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  int status = 0;
  for (;;) {
    drain(false);
    rusage usage = {};
    pid_t r = wait4(pid_, &status, WNOHANG, &usage);
    if (r == pid_) max_rss_kb_ = usage.ru_maxrss;
    if (r == pid_) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
  drain(true);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string &Child::stderr_text() {
  drain(false);
  return err_;
}

MapWatcher::MapWatcher() : display_(nullptr) {
  // The server may still be busy with a client that has just gone away.
  for (int i = 0; i < 50 && display_ == nullptr; i++) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (display_ == nullptr) {
    std::fprintf(stderr, "MapWatcher: cannot open the display\n");
    std::abort();
  }
  XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
  XSync(display_, False);
}

MapWatcher::~MapWatcher() { XCloseDisplay(display_); }

template <typename Pred>
Window MapWatcher::next_mapped(int timeout_ms, Pred pred) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    XEvent ev;
    while (XCheckTypedEvent(display_, MapNotify, &ev)) {
      if (ev.xmap.event == DefaultRootWindow(display_) && pred(ev.xmap.window)) return ev.xmap.window;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return 0;
}

Window MapWatcher::next_toplevel(int timeout_ms) {
  return next_mapped(timeout_ms, [this](Window w) {
    XClassHint hint = {};
    if (!XGetClassHint(display_, w, &hint)) return false;
    bool ours = hint.res_class != nullptr && std::strcmp(hint.res_class, "Glosset") == 0;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return ours;
  });
}

Window MapWatcher::next_menu(int timeout_ms) {
  // Motif keeps a 10x10 drag window off the screen; a menu is on it.
  return next_mapped(timeout_ms, [this](Window w) {
    XWindowAttributes attrs;
    return XGetWindowAttributes(display_, w, &attrs) && attrs.override_redirect && attrs.x >= 0 && attrs.y >= 0;
  });
}

int MapWatcher::count_mapped() {
  XSync(display_, False);
  int count = 0;
  XEvent ev;
  while (XCheckTypedEvent(display_, MapNotify, &ev)) count++;
  return count;
}

void send_wm_delete(Display *display, Window window) {
  XEvent ev = {};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = window;
  ev.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &ev);
  XFlush(display);
}

std::string window_title(Display *display, Window window) {
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
  std::vector<std::pair<Window, std::pair<int, int>>> pending = {{top, {0, 0}}};
  while (!pending.empty()) {
    auto [w, origin] = pending.back();
    pending.pop_back();
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, w, &root, &parent, &children, &count)) continue;
    for (unsigned int i = 0; i < count; i++) {
      XWindowAttributes a;
      if (!XGetWindowAttributes(display, children[i], &a)) continue;
      WindowBox box = {children[i], origin.first + a.x, origin.second + a.y, a.width, a.height, w};
      boxes.push_back(box);
      pending.push_back({children[i], {box.x, box.y}});
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
  if (buttons.empty()) return std::nullopt;
  return buttons.front();
}

std::vector<WindowBox> list_windows(Display *display, Window top) {
  std::vector<WindowBox> boxes = window_tree(display, top);
  std::vector<WindowBox> lists;
  for (const WindowBox &sw : boxes) {
    if (sw.width != 311) continue;
    // The list is the largest child of its scrolled window.
    std::optional<WindowBox> list;
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
  g.width = a.width;
  g.height = a.height;
  for (int y = 0; y < a.height; y++) {
    for (int x = 0; x < a.width; x++) {
      g.pixels.push_back(XGetPixel(image, x, y));
    }
  }
  XDestroyImage(image);
  return g;
}

Pixels grab_settled(Display *display, Window window) {
  Pixels last = grab(display, window);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Pixels now = grab(display, window);
    if (now.width == last.width && now.height == last.height && now.pixels == last.pixels) return now;
    last = std::move(now);
  }
  return last;
}

int text_lines(const Pixels &empty, const Pixels &now) {
  if (empty.width != now.width || empty.height != now.height) return -1;
  int lines = 0, gap = 2;
  for (int y = 0; y < now.height; y++) {
    bool ink = false;
    for (int x = 0; x < now.width && !ink; x++) {
      ink = empty.pixels[y * now.width + x] != now.pixels[y * now.width + x];
    }
    if (ink) {
      if (gap > 1) lines++;
      gap = 0;
    } else {
      gap++;
    }
  }
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

bool screenshot(Window window, const std::string &path) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  return std::system(("import -window " + std::to_string(window) + " '" + path + "'").c_str()) == 0;
}

}  // namespace app_test
