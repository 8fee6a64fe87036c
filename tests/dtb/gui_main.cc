// main() of the runtime's GUI tests: opens the display once, in a Korean
// UTF-8 locale, and then runs every test.
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <map>

#include <unistd.h>

#include <gtest/gtest.h>
#include <Xm/Xm.h>

#include "dtb/dtb_utils.h"
#include "tests/dtb/gui_env.h"

namespace {
XtAppContext g_app;
Widget g_toplevel;

// Actions waiting for their timers, by ticket.
std::map<std::uintptr_t, std::function<void()>> g_pending;
std::uintptr_t g_next_ticket = 1;

void run_action(XtPointer data, XtIntervalId *) {
  auto it = g_pending.find(reinterpret_cast<std::uintptr_t>(data));
  if (it == g_pending.end()) return;
  std::function<void()> action = std::move(it->second);
  g_pending.erase(it);
  action();
}
}  // namespace

namespace dtb_test {
XtAppContext app() { return g_app; }
Widget toplevel() { return g_toplevel; }

bool pump_until(const std::function<bool()> &pred, int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  XSync(XtDisplay(g_toplevel), False);
  while (!pred() && std::chrono::steady_clock::now() < deadline) {
    if (XtAppPending(g_app) != 0) {
      XtAppProcessEvent(g_app, XtIMAll);
    } else {
      XSync(XtDisplay(g_toplevel), False);
      if (XtAppPending(g_app) == 0) usleep(1000);
    }
  }
  return pred();
}

void after(int ms, std::function<void()> action) {
  std::uintptr_t ticket = g_next_ticket++;
  g_pending.emplace(ticket, std::move(action));
  XtAppAddTimeOut(g_app, static_cast<unsigned long>(ms), run_action, reinterpret_cast<XtPointer>(ticket));
}
}  // namespace dtb_test

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("LANG", "ko_KR.UTF-8", 1);
  if (std::setlocale(LC_CTYPE, "ko_KR.UTF-8") == nullptr) std::fprintf(stderr, "ko_KR.UTF-8 locale missing\n");
  static char name[] = "dtb_gui_test";
  char *xargv[] = {name, nullptr};
  int xargc = 1;
  g_toplevel = XtAppInitialize(&g_app, "DtbTest", nullptr, 0, &xargc, xargv, nullptr, nullptr, 0);
  XtVaSetValues(g_toplevel, XmNwidth, 200, XmNheight, 100, XmNmappedWhenManaged, True, nullptr);
  XtRealizeWidget(g_toplevel);
  dtb_save_toplevel_widget(g_toplevel);
  return RUN_ALL_TESTS();
}
