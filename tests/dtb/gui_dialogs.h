// Finding and driving the runtime's dialogs from a test, through the toolkit.
#pragma once
#include <functional>

#include <Xm/Xm.h>

namespace dtb_test {

enum class Button { kOk, kAction2, kAction3, kCancel, kHelp };

// The newest message box named "dtb_msg_dlg" that is shown and not being
// destroyed, among the popups of the toplevel; null when there is none.
Widget shown_message_box();
// How many message boxes exist (shown or not) and are not being destroyed.
int live_message_boxes();

// The child of the toplevel's popup shell of that name (for example
// "Help_popup"), and how many such shells exist.
Widget popup_child(const char *shell_name);
int popup_count(const char *shell_name);
// The same for the newest of several shells of that name.
Widget newest_popup_child(const char *shell_name);

// A button of a message box; action buttons are found by name, since their
// user data holds other things during a modal wait.
Widget button_of(Widget msg_dlg, Button which);

// Clicks the button (widget or gadget) in its middle once it is on the
// screen, and handles the click. Not from inside a modal wait: see below.
void press(Widget button);

// From timers inside the event loop that runs next (a modal wait's too), once
// the newest message box is on the screen: runs the action on it. If no box
// comes up, the test fails and the dialog (if any) is closed through the
// window manager so that no wait is left hanging.
void when_shown(std::function<void(Widget msg_dlg)> action, int ms = 30);
// ... clicks one of its buttons; or, with a key other than NoSymbol, types
// that key with the pointer over the box.
void press_later(Button which, int ms = 30);
void type_later(KeySym key, int ms = 30);

}  // namespace dtb_test
