// What the runtime's GUI tests share: finding its dialogs and pressing their
// buttons through the toolkit.
#pragma once
#include <string>
#include <vector>

#include <Xm/Xm.h>

namespace dtb_test {

// The children of the toplevel's popup shells of that name (for example
// "Help_popup"), oldest first, leaving out shells being destroyed.
std::vector<Widget> popups(const char *shell_name);

// Whether the widget (or gadget) is mapped and visible.
bool on_screen(Widget w);
// Clicks the button once it is on the screen, and handles the click; not
// from inside a modal wait, which only timers reach.
void press(Widget button);

// The text of a compound-string resource.
std::string text_of(Widget w, const char *resource);

}  // namespace dtb_test
