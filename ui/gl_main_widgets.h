// Small building blocks shared by the windows of the gl_main module.
#pragma once
#include <Xm/Xm.h>

namespace gl_main {

// White as a pixel of `parent`'s screen; 0 when the conversion fails.
Pixel white_for(Widget parent);

// Manage every child of `w` in one call; nothing for a null widget.
void manage_children(Widget w);
void manage(Widget w);

// A label-like widget (label or push button) of `widget_class` named `name`
// with its catalog text, created unmanaged (or managed) with `args`.
Widget create_labelled(const char *name, WidgetClass widget_class, Widget parent, int number,
                       const char *euc_default, Arg *args, Cardinal nargs, bool managed = false);

// Widen the shell that holds `w` as far as `w` needs to be seen whole: its
// preferred width from where it starts, within its parent. Windows only grow
// (a shorter text later leaves them as they are) and never past the screen.
void widen_to_show(Widget w);

}  // namespace gl_main
