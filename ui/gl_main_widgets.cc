// Building blocks of the gl_main windows.
#include "ui/gl_main_widgets.h"

#include <algorithm>

#include "dtb/dtb_utils.h"
#include "ui/catalog_text.h"

namespace gl_main {

Pixel white_for(Widget parent) {
  return dtb_cvt_resource_from_string(parent, const_cast<char *>(XtRPixel), 4, const_cast<char *>("white"), 0);
}

void manage_children(Widget w) {
  if (w == nullptr) return;
  WidgetList children = nullptr;
  Cardinal count = 0;
  XtVaGetValues(w, XmNchildren, &children, XmNnumChildren, &count, nullptr);
  if (count > 0) XtManageChildren(children, count);
}

void manage(Widget w) {
  if (w != nullptr) XtManageChild(w);
}

Widget create_labelled(const char *name, WidgetClass widget_class, Widget parent, int number,
                       const char *euc_default, Arg *args, Cardinal nargs, bool managed) {
  XmString label = catalog_xmstring(number, euc_default);
  Arg all[16];
  Cardinal n = 0;
  XtSetArg(all[n], XmNlabelString, label); n++;
  for (Cardinal i = 0; i < nargs && n < XtNumber(all); i++) all[n++] = args[i];
  Widget w = managed ? XtCreateManagedWidget(name, widget_class, parent, all, n)
                     : XtCreateWidget(name, widget_class, parent, all, n);
  XmStringFree(label);
  return w;
}

void widen_to_show(Widget w) {
  if (w == nullptr || XtParent(w) == nullptr) return;
  Widget shell = w;
  while (shell != nullptr && !XtIsShell(shell)) shell = XtParent(shell);
  if (shell == nullptr) return;
  XtWidgetGeometry preferred = {};
  XtQueryGeometry(w, nullptr, &preferred);
  Position x = 0;
  Dimension width = 0, border = 0, parent_width = 0, shell_width = 0;
  XtVaGetValues(w, XmNx, &x, XmNwidth, &width, XmNborderWidth, &border, nullptr);
  XtVaGetValues(XtParent(w), XmNwidth, &parent_width, nullptr);
  XtVaGetValues(shell, XmNwidth, &shell_width, nullptr);
  const int needed = x + std::max(width, preferred.width) + 2 * border;
  const int room = WidthOfScreen(XtScreen(shell));
  const int wanted = std::min(shell_width + (needed - parent_width), room);
  if (needed > parent_width && wanted > shell_width) XtVaSetValues(shell, XmNwidth, wanted, nullptr);
}

}  // namespace gl_main
