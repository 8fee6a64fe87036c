// Where the add/modify dialog opens: beside the main window, so that the
// main window's reading field and 찾기 stay in view while it is open.
#pragma once
#include <X11/Intrinsic.h>

struct ScreenBox {
  int x, y, width, height;
};

// The place (outer top-left corner and size) for a dialog of `dialog`'s size
// beside `main` (the main window's outer box, frame included) on a screen of
// `screen`'s size: to its right where the screen has room, else below it,
// else to its left, else above it. When none has room, the dialog goes to the
// screen's right edge below `keep_clear` (the field and 찾기), as far as the
// screen allows.
ScreenBox place_beside(ScreenBox main, ScreenBox keep_clear, ScreenBox dialog, ScreenBox screen);

// Moves the dialog shell, just popped up and so of its final size, to its
// place beside the main window's shell; `field` and `find` are the controls
// it must not cover.
void place_dialog_beside(Widget dialog_shell, Widget main_shell, Widget field, Widget find);
