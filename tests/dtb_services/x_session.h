// A toolkit session for the runtime's GUI tests: one application context per
// test process, event pumping with a deadline, and real pointer input through
// the XTest extension.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include <Xm/Xm.h>

namespace dtbtest {

struct XSession {
  XtAppContext app = nullptr;
  Display *display = nullptr;
  Widget toplevel = nullptr;  // never realized; parent of the test shells
};

// Opens the session on $DISPLAY the first time it is asked for.
XSession &session();

// A new top-level shell of the given size, not yet realized.
Widget make_shell(int width, int height);

// Processes every pending event and timer until done() is true or timeout_ms
// has passed; answers done().
bool pump_until(const std::function<bool()> &done, int timeout_ms = 3000);
// Processes events for the given time.
void pump_for(int ms);
// Realizes and maps the shell, and waits until it is mapped and its first
// exposures have been handled.
bool show_and_wait(Widget shell);

// Pointer input, as from a real mouse. Coordinates are relative to the widget.
void pointer_to(Widget widget, int x, int y);
void button(unsigned int number, bool press);

// A scripted gesture: each step runs from a toolkit timer, so it also runs
// inside the toolkit's nested loops (a drag in progress, a posted menu).
class Script {
 public:
  Script &then(int delay_ms, std::function<void()> step);
  void start();
  bool finished() const { return next_ == steps_.size() && started_; }

 private:
  static void fire(XtPointer self, XtIntervalId *);
  void schedule();
  struct Step {
    int delay_ms;
    std::function<void()> action;
  };
  std::vector<Step> steps_;
  size_t next_ = 0;
  bool started_ = false;
};

std::string name_of(Widget w);

}  // namespace dtbtest
