// One toolkit session per GUI test process, on the private display of
// tests/xvfb-run.sh: event pumping with deadlines, actions run from timers
// (so they also run inside nested loops: a modal wait, a drag, a posted
// menu), and real pointer and key input through the XTest extension.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include <Xm/Xm.h>

namespace xs {

struct Session {
  XtAppContext app = nullptr;
  Display *display = nullptr;
  Widget toplevel = nullptr;  // left unrealized; callers realize it if they need it
};

// Opens the session on $DISPLAY the first time it is asked for; the class of
// that first call is the one every shell of the process gets.
Session &session(const char *app_class = "GlossetTest");
inline Widget toplevel() { return session().toplevel; }

// A new top-level shell at (x, y) of the given size, not yet realized.
Widget make_shell(int width, int height, int x = 0, int y = 0);

// Processes every pending event and timer until done() holds or timeout_ms
// has passed; answers done().
bool pump_until(const std::function<bool()> &done, int timeout_ms = 3000);
inline void pump_for(int ms) { pump_until([] { return false; }, ms); }
// Realizes and maps the shell and waits until it is mapped and its first
// exposures have been handled.
bool show_and_wait(Widget shell);

// Runs action once from a timer in whatever event loop runs next.
void after(int ms, std::function<void()> action);
// Runs action, from timers as after() does (so also inside a modal wait), on
// shown(shell_name, top) once that is on the screen; a test failure if it
// does not come within 3 s.
void when_shown(const char *shell_name, std::function<void(Widget)> action, Widget top = toplevel(), int tries = 150);

// Pointer input, as from a real mouse, so that the toolkit's grabs decide who
// gets it. Coordinates are relative to the widget (or gadget).
void pointer_to(Widget w, int x, int y);
void button(unsigned int number, bool press);
void click(Widget w);  // button 1 in the middle of w
// Clicks the button once it is on the screen and handles the click (a
// test failure if it never shows); not from inside a modal wait, which only
// timers reach.
void press(Widget button);
// A key pressed and released on the keyboard; without a window manager the
// focus follows the pointer.
void key(KeySym sym);

// Asks, the window manager's way, for the shell of w to close.
void send_wm_delete(Widget w);

// Whether the widget (or gadget) is mapped and visible.
bool on_screen(Widget w);
// The children of top's popup shells of that name (for example "Help_popup"),
// oldest first, leaving out shells being destroyed.
std::vector<Widget> popups(const char *shell_name, Widget top = toplevel());
// The newest managed one of them, or null.
Widget shown(const char *shell_name, Widget top = toplevel());
// The text of a compound string, or of a compound-string resource of w.
std::string text(XmString s);
std::string text_of(Widget w, const char *resource);
// A string the toolkit handed over (null: ""), freed.
std::string taken(char *xt_string);

}  // namespace xs
