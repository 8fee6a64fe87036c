#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "tests/support/x_session.h"

#include <chrono>
#include <memory>
#include <cstring>
#include <thread>

#include <X11/IntrinsicP.h>  // before CompositeP.h, which needs it
#include <X11/CompositeP.h>

#include <X11/extensions/XTest.h>

namespace xs {

Session &session(const char *app_class) {
  static int argc = 1;
  static char name[] = "glosset_gui_test", *argv[] = {name, nullptr};
  static Session s;
  if (s.toplevel == nullptr) {
    s.toplevel = XtOpenApplication(&s.app, app_class, nullptr, 0, &argc, argv, nullptr, applicationShellWidgetClass,
                                   nullptr, 0);
    s.display = XtDisplay(s.toplevel);
  }
  return s;
}

Widget make_shell(int width, int height, int x, int y) {
  String name = nullptr, app_class = nullptr;
  XtGetApplicationNameAndClass(session().display, &name, &app_class);
  return XtVaAppCreateShell("shell", app_class, topLevelShellWidgetClass, session().display, XmNwidth, width,
                            XmNheight, height, XmNx, x, XmNy, y, nullptr);
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

bool show_and_wait(Widget shell) {
  XtRealizeWidget(shell);
  XtMapWidget(shell);
  bool ok = pump_until([shell] {
    XWindowAttributes a;
    return XGetWindowAttributes(XtDisplay(shell), XtWindow(shell), &a) != 0 && a.map_state == IsViewable;
  });
  pump_for(100);  // the children's first exposures follow the map
  return ok;
}

void after(int ms, std::function<void()> action) {
  using Action = std::function<void()>;
  auto run = [](XtPointer data, XtIntervalId *) { (*std::unique_ptr<Action>(static_cast<Action *>(data)))(); };
  XtAppAddTimeOut(session().app, ms, run, std::make_unique<Action>(std::move(action)).release());
}

void when_shown(const char *shell_name, std::function<void(Widget)> action, Widget top, int tries) {
  after(20, [=] {
    if (on_screen(shown(shell_name, top)))
      action(shown(shell_name, top));
    else if (tries > 0)
      when_shown(shell_name, action, top, tries - 1);
    else
      ADD_FAILURE() << "no " << shell_name << " came up";
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
  XTestFakeButtonEvent(session().display, number, press ? True : False, CurrentTime);
  XFlush(session().display);
}

void click(Widget w) {
  Dimension width = 0, height = 0;
  XtVaGetValues(w, XmNwidth, &width, XmNheight, &height, nullptr);
  pointer_to(w, width / 2, height / 2);
  button(1, true);
  button(1, false);
}

void press(Widget button) {
  ASSERT_TRUE(button != nullptr && pump_until([button] { return on_screen(button); }))
      << (button != nullptr ? XtName(button) : "no button");
  click(button);
  pump_for(30);
}

void key(KeySym sym) {
  Display *d = session().display;
  for (Bool down : {True, False}) XTestFakeKeyEvent(d, XKeysymToKeycode(d, sym), down, CurrentTime);
  XFlush(d);
}

void send_wm_delete(Widget w) {
  while (!XtIsShell(w)) w = XtParent(w);
  Display *d = XtDisplay(w);
  XEvent ev{};
  ev.xclient = {ClientMessage, 0, True, d, XtWindow(w), XInternAtom(d, "WM_PROTOCOLS", False), 32, {}};
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  XSendEvent(d, XtWindow(w), False, NoEventMask, &ev);
  XFlush(d);
}

bool on_screen(Widget w) {
  XWindowAttributes a;
  return w != nullptr && XtIsRealized(w) && XGetWindowAttributes(XtDisplayOfObject(w), XtWindowOfObject(w), &a) &&
         a.map_state == IsViewable;
}

std::vector<Widget> popups(const char *shell_name, Widget top) {
  std::vector<Widget> out;
  for (Cardinal i = 0; i < top->core.num_popups; ++i) {
    auto shell = reinterpret_cast<CompositeWidget>(top->core.popup_list[i]);
    if (!shell->core.being_destroyed && shell->composite.num_children > 0 &&
        std::strcmp(XtName(top->core.popup_list[i]), shell_name) == 0)
      out.push_back(shell->composite.children[0]);
  }
  return out;
}

Widget shown(const char *shell_name, Widget top) {
  Widget newest = nullptr;
  for (Widget w : popups(shell_name, top)) newest = XtIsManaged(w) ? w : newest;
  return newest;
}

std::string text(XmString s) {
  char *raw = static_cast<char *>(XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  std::string out = raw != nullptr ? raw : "";
  XtFree(raw);
  return out;
}

std::string text_of(Widget w, const char *resource) {
  XmString s = nullptr;
  XtVaGetValues(w, resource, &s, nullptr);
  std::string out = text(s);
  XmStringFree(s);
  return out;
}

std::string taken(char *xt_string) {
  std::string s = xt_string != nullptr ? xt_string : "";
  XtFree(xt_string);
  return s;
}

}  // namespace xs
