// Finding and driving the runtime's dialogs from a test, through the toolkit.
#pragma once
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

// Runs the button's activate callbacks as a click would.
void press(Widget button);

// From a timer inside the next event loop: presses a button of the shown
// message box. If there is none, the test fails and the dialog (if any) is
// closed through the window manager so that no wait is left hanging.
void press_later(Button which, int ms = 30);

}  // namespace dtb_test
