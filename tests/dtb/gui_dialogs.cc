// gtest comes before the X headers, whose None macro it cannot bear.
#include <gtest/gtest.h>

#include "tests/dtb/gui_dialogs.h"

#include <cstring>
#include <vector>

#include <X11/IntrinsicP.h>
#include <X11/CompositeP.h>
#include <Xm/MessageB.h>

#include "tests/support/x_session.h"

namespace dtb_test {

namespace {

// The first child of a popup shell, or null.
Widget child_of(Widget shell) {
  auto cw = reinterpret_cast<CompositeWidget>(shell);
  return XtIsComposite(shell) && cw->composite.num_children > 0 ? cw->composite.children[0] : nullptr;
}

// The toplevel's popup shells, oldest first, that are not being destroyed and
// whose own name, or their child's, is the one given.
std::vector<Widget> shells(const char *name, bool by_child) {
  std::vector<Widget> out;
  Widget top = xs::toplevel();
  for (Cardinal i = 0; i < top->core.num_popups; ++i) {
    Widget shell = top->core.popup_list[i];
    Widget named = by_child ? child_of(shell) : shell;
    if (!shell->core.being_destroyed && named != nullptr && std::strcmp(XtName(named), name) == 0)
      out.push_back(shell);
  }
  return out;
}

}  // namespace

Widget shown_message_box() {
  std::vector<Widget> boxes = shells("dtb_msg_dlg", true);
  for (auto it = boxes.rbegin(); it != boxes.rend(); ++it)
    if (XtIsManaged(child_of(*it))) return child_of(*it);
  return nullptr;
}

int live_message_boxes() { return static_cast<int>(shells("dtb_msg_dlg", true).size()); }

Widget popup_child(const char *shell_name) {
  std::vector<Widget> found = shells(shell_name, false);
  return found.empty() ? nullptr : child_of(found.front());
}

Widget newest_popup_child(const char *shell_name) {
  std::vector<Widget> found = shells(shell_name, false);
  return found.empty() ? nullptr : child_of(found.back());
}

int popup_count(const char *shell_name) { return static_cast<int>(shells(shell_name, false).size()); }

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

namespace {

bool on_screen(Widget w) {
  XWindowAttributes a;
  return w != nullptr && XtIsRealized(w) && XGetWindowAttributes(XtDisplayOfObject(w), XtWindowOfObject(w), &a) &&
         a.map_state == IsViewable;
}

void click_middle(Widget button) {
  Dimension width = 0, height = 0;
  XtVaGetValues(button, XmNwidth, &width, XmNheight, &height, nullptr);
  xs::pointer_to(button, width / 2, height / 2);
  xs::button(1, true);
  xs::button(1, false);
}

void try_when_shown(std::function<void(Widget)> action, int tries_left) {
  Widget d = shown_message_box();
  if (on_screen(d)) {
    action(d);
  } else if (tries_left > 0) {
    xs::after(20, [action = std::move(action), tries_left] { try_when_shown(action, tries_left - 1); });
  } else {
    ADD_FAILURE() << "no message box came up";
    if (d != nullptr) xs::send_wm_delete(d);
  }
}

}  // namespace

void press(Widget button) {
  ASSERT_TRUE(xs::pump_until([button] { return on_screen(button); })) << xs::name_of(button);
  click_middle(button);
  xs::pump_for(30);
}

void when_shown(std::function<void(Widget)> action, int ms) {
  xs::after(ms, [action = std::move(action)] { try_when_shown(action, 100); });
}

void press_later(Button which, int ms) {
  when_shown([which](Widget d) {
    Widget b = button_of(d, which);
    if (b != nullptr && XtIsManaged(b)) {
      click_middle(b);
      return;
    }
    ADD_FAILURE() << "no button " << static_cast<int>(which) << " in the shown box";
    xs::send_wm_delete(d);
  }, ms);
}

void type_later(KeySym key, int ms) {
  when_shown([key](Widget d) {
    xs::pointer_to(d, 5, 5);
    xs::key(key);
  }, ms);
}

}  // namespace dtb_test
