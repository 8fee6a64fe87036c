// main() of the runtime's GUI tests, which opens the display once in a Korean
// UTF-8 locale with a realized toplevel to parent the dialogs, and the
// helpers that find and drive those dialogs.
// gtest comes before the X headers, whose None macro it cannot bear.
#include <gtest/gtest.h>

#include "tests/dtb/gui_dialogs.h"

#include <clocale>
#include <cstring>

#include <X11/IntrinsicP.h>
#include <X11/CompositeP.h>

#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

namespace dtb_test {

std::vector<Widget> popups(const char *shell_name) {
  std::vector<Widget> out;
  Widget top = xs::toplevel();
  for (Cardinal i = 0; i < top->core.num_popups; ++i) {
    auto shell = reinterpret_cast<CompositeWidget>(top->core.popup_list[i]);
    if (!shell->core.being_destroyed && shell->composite.num_children > 0 &&
        std::strcmp(XtName(top->core.popup_list[i]), shell_name) == 0)
      out.push_back(shell->composite.children[0]);
  }
  return out;
}

bool on_screen(Widget w) {
  XWindowAttributes a;
  return w != nullptr && XtIsRealized(w) && XGetWindowAttributes(XtDisplayOfObject(w), XtWindowOfObject(w), &a) &&
         a.map_state == IsViewable;
}

void press(Widget button) {
  ASSERT_TRUE(xs::pump_until([button] { return on_screen(button); })) << XtName(button);
  xs::click(button);
  xs::pump_for(30);
}

std::string text_of(Widget w, const char *resource) {
  XmString s = nullptr;
  XtVaGetValues(w, resource, &s, nullptr);
  char *raw = static_cast<char *>(XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  std::string out = raw;
  XtFree(raw);
  XmStringFree(s);
  return out;
}

}  // namespace dtb_test

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("LANG", "ko_KR.UTF-8", 1);
  if (std::setlocale(LC_CTYPE, "ko_KR.UTF-8") == nullptr) std::fprintf(stderr, "ko_KR.UTF-8 locale missing\n");
  Widget top = xs::session("DtbTest").toplevel;
  XtVaSetValues(top, XmNwidth, 200, XmNheight, 100, XmNmappedWhenManaged, True, nullptr);
  XtRealizeWidget(top);
  dtb_save_toplevel_widget(top);
  return RUN_ALL_TESTS();
}
