// main() of the runtime's GUI tests, which opens the display once in a Korean
// UTF-8 locale with a realized toplevel to parent the dialogs.
// gtest comes before the X headers, whose None macro it cannot bear.
#include <gtest/gtest.h>

#include <clocale>

#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

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
