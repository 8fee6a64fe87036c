// One toolkit session shared by all GUI tests of the runtime: the toplevel
// shell made in main(), realized, on the private display of tests/xvfb-run.sh.
#pragma once
#include <functional>

#include <Xm/Xm.h>

namespace dtb_test {

XtAppContext app();
Widget toplevel();

// Processes pending events until pred() holds or the timeout (ms) passes;
// answers pred() at the end.
bool pump_until(const std::function<bool()> &pred, int timeout_ms = 3000);

// Runs action once from a timer inside whatever event loop is running next,
// for example the nested loop of a modal dialog.
void after(int ms, std::function<void()> action);

}  // namespace dtb_test
