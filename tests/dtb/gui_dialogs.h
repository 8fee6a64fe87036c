// What the runtime's GUI tests share: finding its dialogs and pressing their
// buttons through the toolkit.
#pragma once
#include <Xm/Xm.h>

namespace dtb_test {

// Clicks the button once it is on the screen, and handles the click; not
// from inside a modal wait, which only timers reach.
void press(Widget button);

}  // namespace dtb_test
