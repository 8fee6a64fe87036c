// Popup menus on button 3, driven by real pointer input under Xvfb.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>

#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

namespace {

Widget carriers[3], menus[3];

// Presses button 3 over a carrier; the index of the menu that came up, or -1.
int press_button3_over(int carrier) {
  xs::pointer_to(carriers[carrier], 40, 40);
  xs::pump_for(30);
  xs::button(3, true);
  int shown = -1;
  xs::pump_until([&] {
    for (int i = 0; i < 3; ++i) shown = menus[i] != nullptr && XtIsManaged(menus[i]) ? i : shown;
    return shown >= 0;
  }, 300);
  xs::button(3, false);
  xs::pump_for(50);
  if (shown >= 0) XtUnmanageChild(menus[shown]);
  return shown;
}

// The menus are made as generated code makes them: on the carriers' parent,
// with Motif's own posting left at its default.
TEST(Popup, Button3ShowsTheMenuOfTheCarrierAndEntriesAreReused) {
  Widget form = XtVaCreateManagedWidget("form", xmFormWidgetClass, xs::make_shell(300, 100), nullptr);
  for (int i = 0; i < 3; ++i) {
    carriers[i] = XtVaCreateManagedWidget("carrier", xmLabelWidgetClass, form, XmNleftAttachment, XmATTACH_FORM,
                                          XmNleftOffset, 100 * i, XmNwidth, 90, XmNheight, 90, nullptr);
    menus[i] = XmCreatePopupMenu(form, const_cast<char *>("menu"), nullptr, 0);
    XtVaCreateManagedWidget("item", xmPushButtonWidgetClass, menus[i], nullptr);
  }
  ASSERT_TRUE(xs::show_and_wait(XtParent(form)));
  EXPECT_EQ(0, dtb_popup_menu_register(menus[0], carriers[0]));
  EXPECT_EQ(0, press_button3_over(0));
  dtb_popup_menu_register(menus[1], carriers[0]);  // a second menu for the carrier replaces the first
  EXPECT_EQ(1, press_button3_over(0));
  dtb_popup_menu_register(menus[1], carriers[1]);  // a second carrier of a menu takes its entry over
  EXPECT_EQ(1, press_button3_over(1));
  EXPECT_EQ(-1, press_button3_over(0));
  XtDestroyWidget(carriers[1]);  // frees the entry, which the next registration takes
  dtb_popup_menu_register(menus[2], carriers[2]);
  EXPECT_EQ(2, press_button3_over(2));
  EXPECT_EQ(1u, dtb_popup_menu_entries().size());
  XtDestroyWidget(menus[2]);  // so does a destroyed menu
  menus[2] = nullptr;
  EXPECT_EQ(nullptr, dtb_popup_menu_entries()[0].widget);
  EXPECT_EQ(-1, press_button3_over(2));
  XtDestroyWidget(XtParent(form));
}

}  // namespace
