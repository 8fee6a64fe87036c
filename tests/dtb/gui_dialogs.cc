// gtest comes before the X headers, whose None macro it cannot bear.
#include <gtest/gtest.h>

#include "tests/dtb/gui_dialogs.h"

#include <cstring>

#include <X11/IntrinsicP.h>
#include <X11/CompositeP.h>
#include <X11/extensions/XTest.h>
#include <Xm/MessageB.h>
#include <Xm/PushB.h>

#include "tests/dtb/gui_env.h"

namespace dtb_test {

namespace {

// The first child of a popup shell, or null.
Widget child_of(Widget shell) {
  auto cw = reinterpret_cast<CompositeWidget>(shell);
  return XtIsComposite(shell) && cw->composite.num_children > 0 ? cw->composite.children[0] : nullptr;
}

bool usable(Widget shell) {
  Widget child = child_of(shell);
  return !shell->core.being_destroyed && child != nullptr && std::strcmp(XtName(child), "dtb_msg_dlg") == 0;
}

}  // namespace

Widget shown_message_box() {
  Widget top = toplevel();
  for (Cardinal i = top->core.num_popups; i-- > 0;) {
    Widget shell = top->core.popup_list[i];
    if (usable(shell) && XtIsManaged(child_of(shell))) return child_of(shell);
  }
  return nullptr;
}

int live_message_boxes() {
  Widget top = toplevel();
  int n = 0;
  for (Cardinal i = 0; i < top->core.num_popups; ++i) n += usable(top->core.popup_list[i]) ? 1 : 0;
  return n;
}

Widget popup_child(const char *shell_name) {
  Widget top = toplevel();
  for (Cardinal i = 0; i < top->core.num_popups; ++i) {
    Widget shell = top->core.popup_list[i];
    if (!shell->core.being_destroyed && std::strcmp(XtName(shell), shell_name) == 0) return child_of(shell);
  }
  return nullptr;
}

Widget newest_popup_child(const char *shell_name) {
  Widget top = toplevel();
  for (Cardinal i = top->core.num_popups; i-- > 0;) {
    Widget shell = top->core.popup_list[i];
    if (!shell->core.being_destroyed && std::strcmp(XtName(shell), shell_name) == 0) return child_of(shell);
  }
  return nullptr;
}

int popup_count(const char *shell_name) {
  Widget top = toplevel();
  int n = 0;
  for (Cardinal i = 0; i < top->core.num_popups; ++i)
    n += std::strcmp(XtName(top->core.popup_list[i]), shell_name) == 0 ? 1 : 0;
  return n;
}

Widget button_of(Widget msg_dlg, Button which) {
  switch (which) {
    case Button::kOk: return XmMessageBoxGetChild(msg_dlg, XmDIALOG_OK_BUTTON);
    case Button::kCancel: return XmMessageBoxGetChild(msg_dlg, XmDIALOG_CANCEL_BUTTON);
    case Button::kHelp: return XmMessageBoxGetChild(msg_dlg, XmDIALOG_HELP_BUTTON);
    case Button::kAction2: return XtNameToWidget(msg_dlg, "action2_button");
    case Button::kAction3: return XtNameToWidget(msg_dlg, "action3_button");
  }
  return nullptr;
}

void press(Widget button) {
  XEvent event{};
  event.xbutton.type = ButtonRelease;
  event.xbutton.display = XtDisplayOfObject(button);
  event.xbutton.window = XtWindowOfObject(button);
  event.xbutton.button = Button1;
  XmPushButtonCallbackStruct cbs{};
  cbs.reason = XmCR_ACTIVATE;
  cbs.event = &event;
  cbs.click_count = 1;
  XtCallCallbacks(button, XmNactivateCallback, &cbs);
}

void real_click(Widget w) {
  Display *dpy = XtDisplayOfObject(w);
  Position gx = 0, gy = 0;
  if (!XtIsWidget(w)) XtVaGetValues(w, XmNx, &gx, XmNy, &gy, nullptr);  // a gadget draws in its parent
  Window child;
  int x = 0, y = 0;
  XTranslateCoordinates(dpy, XtWindowOfObject(w), DefaultRootWindow(dpy), gx + 5, gy + 5, &x, &y, &child);
  XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  XFlush(dpy);
}

void send_wm_delete(Widget w) {
  Widget shell = w;
  while (shell != nullptr && !XtIsShell(shell)) shell = XtParent(shell);
  ASSERT_NE(nullptr, shell);
  Display *dpy = XtDisplay(shell);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = XtWindow(shell);
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, XtWindow(shell), False, NoEventMask, &ev);
  XFlush(dpy);
}

void press_later(Button which, int ms) {
  after(ms, [which] {
    Widget d = shown_message_box();
    Widget b = d != nullptr ? button_of(d, which) : nullptr;
    if (b != nullptr && XtIsManaged(b)) {
      press(b);
      return;
    }
    ADD_FAILURE() << "no shown dialog with button " << static_cast<int>(which);
    if (d != nullptr) send_wm_delete(d);
  });
}

}  // namespace dtb_test
