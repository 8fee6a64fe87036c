#include "tests/dtb_services/x_session.h"

#include <chrono>
#include <thread>

#include <X11/extensions/XTest.h>

namespace dtbtest {

XSession &session() {
  static XSession s = [] {
    XSession made;
    static int argc = 1;
    static char name[] = "dtb_services_test";
    static char *argv[] = {name, nullptr};
    made.toplevel = XtOpenApplication(&made.app, "DtbServicesTest", nullptr, 0, &argc, argv, nullptr,
                                      applicationShellWidgetClass, nullptr, 0);
    made.display = XtDisplay(made.toplevel);
    return made;
  }();
  return s;
}

Widget make_shell(int width, int height) {
  XSession &s = session();
  return XtVaAppCreateShell("shell", "DtbServicesTest", topLevelShellWidgetClass, s.display,
                            XmNwidth, width, XmNheight, height, XmNx, 0, XmNy, 0, nullptr);
}

bool pump_until(const std::function<bool()> &done, int timeout_ms) {
  XSession &s = session();
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    XSync(s.display, False);
    while (XtAppPending(s.app) != 0) XtAppProcessEvent(s.app, XtIMAll);
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void pump_for(int ms) {
  pump_until([] { return false; }, ms);
}

namespace {
void note_map(Widget, XtPointer flag, XEvent *event, Boolean *) {
  if (event->type == MapNotify) *static_cast<bool *>(flag) = true;
}
}  // namespace

bool show_and_wait(Widget shell) {
  static bool mapped;
  mapped = false;
  XtAddEventHandler(shell, StructureNotifyMask, False, note_map, &mapped);
  XtRealizeWidget(shell);
  XtMapWidget(shell);
  bool ok = pump_until([] { return mapped; });
  XtRemoveEventHandler(shell, StructureNotifyMask, False, note_map, &mapped);
  // The children's first exposures follow the map.
  pump_for(100);
  return ok;
}

void pointer_to(Widget widget, int x, int y) {
  Display *d = session().display;
  Position rx = 0, ry = 0;
  XtTranslateCoords(widget, Position(x), Position(y), &rx, &ry);
  XTestFakeMotionEvent(d, DefaultScreen(d), rx, ry, CurrentTime);
  XFlush(d);
}

void button(unsigned int number, bool press) {
  Display *d = session().display;
  XTestFakeButtonEvent(d, number, press ? True : False, CurrentTime);
  XFlush(d);
}

Script &Script::then(int delay_ms, std::function<void()> step) {
  steps_.push_back({delay_ms, std::move(step)});
  return *this;
}

void Script::start() {
  started_ = true;
  next_ = 0;
  schedule();
}

void Script::schedule() {
  if (next_ >= steps_.size()) return;
  XtAppAddTimeOut(session().app, steps_[next_].delay_ms, fire, this);
}

void Script::fire(XtPointer self, XtIntervalId *) {
  auto *script = static_cast<Script *>(self);
  script->steps_[script->next_].action();
  ++script->next_;
  script->schedule();
}

std::string name_of(Widget w) { return w == nullptr ? "(none)" : XtName(w); }

}  // namespace dtbtest
