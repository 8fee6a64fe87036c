// gtest comes before the X headers, whose None macro it cannot bear.
#include <gtest/gtest.h>

#include "tests/support/x_session.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <thread>

#include <X11/extensions/XTest.h>

namespace xs {

namespace {
std::string g_class;

// Actions waiting for their timers, by ticket: a ticket whose action is gone
// is simply ignored.
std::map<std::uintptr_t, std::function<void()>> g_pending;
std::uintptr_t g_next_ticket = 1;

void run_action(XtPointer data, XtIntervalId *) {
  auto it = g_pending.find(reinterpret_cast<std::uintptr_t>(data));
  if (it == g_pending.end()) return;
  std::function<void()> action = std::move(it->second);
  g_pending.erase(it);
  action();
}

void note_map(Widget, XtPointer flag, XEvent *event, Boolean *) {
  if (event->type == MapNotify) *static_cast<bool *>(flag) = true;
}
}  // namespace

Session &session(const char *app_class) {
  static Session s = [app_class] {
    Session made;
    g_class = app_class;
    static int argc = 1;
    static char name[] = "glosset_gui_test";
    static char *argv[] = {name, nullptr};
    made.toplevel = XtOpenApplication(&made.app, g_class.c_str(), nullptr, 0, &argc, argv, nullptr,
                                      applicationShellWidgetClass, nullptr, 0);
    made.display = XtDisplay(made.toplevel);
    return made;
  }();
  return s;
}

Widget make_shell(int width, int height) {
  Session &s = session();
  return XtVaAppCreateShell("shell", g_class.c_str(), topLevelShellWidgetClass, s.display, XmNwidth, width,
                            XmNheight, height, XmNx, 0, XmNy, 0, nullptr);
}

bool pump_until(const std::function<bool()> &done, int timeout_ms) {
  Session &s = session();
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    XSync(s.display, False);
    while (XtAppPending(s.app) != 0 && std::chrono::steady_clock::now() < deadline)
      XtAppProcessEvent(s.app, XtIMAll);
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void pump_for(int ms) {
  pump_until([] { return false; }, ms);
}

bool show_and_wait(Widget shell) {
  bool mapped = false;
  XtAddEventHandler(shell, StructureNotifyMask, False, note_map, &mapped);
  XtRealizeWidget(shell);
  XtMapWidget(shell);
  bool ok = pump_until([&] { return mapped; });
  XtRemoveEventHandler(shell, StructureNotifyMask, False, note_map, &mapped);
  pump_for(100);  // the children's first exposures follow the map
  return ok;
}

void after(int ms, std::function<void()> action) {
  std::uintptr_t ticket = g_next_ticket++;
  g_pending.emplace(ticket, std::move(action));
  XtAppAddTimeOut(session().app, static_cast<unsigned long>(ms), run_action, reinterpret_cast<XtPointer>(ticket));
}

Script &Script::then(int delay_ms, std::function<void()> step) {
  state_->steps.emplace_back(delay_ms, std::move(step));
  return *this;
}

void Script::start() {
  state_->started = true;
  state_->next = 0;
  schedule(state_);
}

void Script::schedule(const std::shared_ptr<State> &state) {
  if (state->next >= state->steps.size()) return;
  after(state->steps[state->next].first, [state] {
    state->steps[state->next].second();
    ++state->next;
    schedule(state);
  });
}

void pointer_to(Widget w, int x, int y) {
  Display *d = XtDisplayOfObject(w);
  Position gx = 0, gy = 0;
  if (!XtIsWidget(w)) XtVaGetValues(w, XmNx, &gx, XmNy, &gy, nullptr);  // a gadget draws in its parent
  Window child;
  int rx = 0, ry = 0;
  XTranslateCoordinates(d, XtWindowOfObject(w), DefaultRootWindow(d), gx + x, gy + y, &rx, &ry, &child);
  XTestFakeMotionEvent(d, -1, rx, ry, CurrentTime);
  XFlush(d);
}

void button(unsigned int number, bool press) {
  Display *d = session().display;
  XTestFakeButtonEvent(d, number, press ? True : False, CurrentTime);
  XFlush(d);
}

void click(Widget w) {
  pointer_to(w, 5, 5);
  button(1, true);
  button(1, false);
}

void key(KeySym sym) {
  Display *d = session().display;
  KeyCode code = XKeysymToKeycode(d, sym);
  XTestFakeKeyEvent(d, code, True, CurrentTime);
  XTestFakeKeyEvent(d, code, False, CurrentTime);
  XFlush(d);
}

void send_wm_delete(Widget w) {
  Widget shell = w;
  while (shell != nullptr && !XtIsShell(shell)) shell = XtParent(shell);
  ASSERT_NE(nullptr, shell);
  Display *d = XtDisplay(shell);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = XtWindow(shell);
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, XtWindow(shell), False, NoEventMask, &ev);
  XFlush(d);
}

std::string name_of(Widget w) { return w == nullptr ? "(none)" : XtName(w); }

}  // namespace xs
