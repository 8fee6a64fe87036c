// Popup menus on button 3, driven by real pointer input under Xvfb.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include <string>

#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>

#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

namespace {

using xs::pump_for;
using xs::pump_until;

// A popup menu made as generated code makes it: on the carriers' parent, with
// Motif's own posting left at its default.
Widget popup_menu(Widget parent, const char *name) {
  Widget menu = XmCreatePopupMenu(parent, const_cast<char *>(name), nullptr, 0);
  XtVaCreateManagedWidget("item", xmPushButtonWidgetClass, menu, nullptr);
  return menu;
}

class PopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dtb_save_toplevel_widget(xs::toplevel());
    shell_ = xs::make_shell(300, 100);
    Widget form = XtVaCreateManagedWidget("form", xmFormWidgetClass, shell_, nullptr);
    for (int i = 0; i < 3; ++i) {
      std::string name = "carrier" + std::to_string(i);
      widgets_[i] = XtVaCreateManagedWidget(name.c_str(), xmLabelWidgetClass, form, XmNleftAttachment,
                                            XmATTACH_FORM, XmNleftOffset, 100 * i, XmNwidth, 90,
                                            XmNheight, 90, XmNrecomputeSize, False, nullptr);
      name = "menu" + std::to_string(i);
      menus_[i] = popup_menu(form, name.c_str());
    }
    ASSERT_TRUE(xs::show_and_wait(shell_));
  }
  void TearDown() override {
    unpost_all();
    XtDestroyWidget(shell_);
    pump_for(50);
  }
  void unpost_all() {
    for (Widget menu : menus_)
      if (menu != nullptr && XtIsManaged(menu)) XtUnmanageChild(menu);
  }

  // Presses button 3 over the widget; the index of the menu that came up, or -1.
  int press_button3_over(Widget w) {
    xs::pointer_to(w, 40, 40);
    pump_for(30);
    xs::button(3, true);
    int shown = -1;
    pump_until([&] {
      for (int i = 0; i < 3; ++i) {
        if (XtIsManaged(menus_[i])) shown = i;
      }
      return shown >= 0;
    }, 300);
    xs::button(3, false);
    pump_for(50);
    unpost_all();
    pump_for(50);
    return shown;
  }

  // Index in the popup table of the entry carried by w, or -1.
  static int entry_of(Widget w) {
    auto entries = dtb_popup_menu_entries();
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].widget == w) return int(i);
    }
    return -1;
  }

  Widget shell_ = nullptr;
  Widget widgets_[3] = {};
  Widget menus_[3] = {};
};

TEST_F(PopupTest, Button3ShowsTheRegisteredMenu) {
  EXPECT_EQ(dtb_popup_menu_register(menus_[0], widgets_[0]), 0);
  EXPECT_EQ(press_button3_over(widgets_[0]), 0);
}

TEST_F(PopupTest, SecondMenuForSameWidgetReplacesItInTheSameEntry) {
  dtb_popup_menu_register(menus_[0], widgets_[0]);
  int entry = entry_of(widgets_[0]);
  size_t size = dtb_popup_menu_entries().size();
  dtb_popup_menu_register(menus_[1], widgets_[0]);
  EXPECT_EQ(entry_of(widgets_[0]), entry);
  EXPECT_EQ(dtb_popup_menu_entries().size(), size);
  EXPECT_EQ(dtb_popup_menu_entries()[size_t(entry)].menu, menus_[1]);
  EXPECT_EQ(press_button3_over(widgets_[0]), 1);
}

TEST_F(PopupTest, SecondWidgetWithRegisteredMenuTakesOverItsEntry) {
  dtb_popup_menu_register(menus_[0], widgets_[0]);
  int entry = entry_of(widgets_[0]);
  size_t size = dtb_popup_menu_entries().size();
  dtb_popup_menu_register(menus_[0], widgets_[1]);
  EXPECT_EQ(entry_of(widgets_[1]), entry);
  EXPECT_EQ(entry_of(widgets_[0]), -1);
  EXPECT_EQ(dtb_popup_menu_entries().size(), size);
  EXPECT_EQ(press_button3_over(widgets_[1]), 0);
  // The first widget keeps its button-3 translation but no longer has a menu.
  EXPECT_EQ(press_button3_over(widgets_[0]), -1);
}

TEST_F(PopupTest, DestroyedCarrierFreesItsEntryForTheNextRegistration) {
  dtb_popup_menu_register(menus_[0], widgets_[0]);
  dtb_popup_menu_register(menus_[1], widgets_[1]);
  int freed = entry_of(widgets_[0]);
  ASSERT_GE(freed, 0);
  XtDestroyWidget(widgets_[0]);
  widgets_[0] = nullptr;
  pump_for(20);
  EXPECT_EQ(dtb_popup_menu_entries()[size_t(freed)].widget, nullptr);
  EXPECT_EQ(dtb_popup_menu_entries()[size_t(freed)].menu, nullptr);

  // The next registration takes the first free entry; the table does not grow.
  int first_free = -1;
  auto entries = dtb_popup_menu_entries();
  for (size_t i = 0; i < entries.size() && first_free < 0; ++i) {
    if (entries[i].widget == nullptr) first_free = int(i);
  }
  size_t size = entries.size();
  dtb_popup_menu_register(menus_[2], widgets_[2]);
  EXPECT_EQ(entry_of(widgets_[2]), first_free);
  EXPECT_EQ(dtb_popup_menu_entries().size(), size);
  EXPECT_EQ(press_button3_over(widgets_[2]), 2);
  EXPECT_EQ(press_button3_over(widgets_[1]), 1);
}

TEST_F(PopupTest, DestroyedMenuFreesItsEntry) {
  dtb_popup_menu_register(menus_[1], widgets_[1]);
  int entry = entry_of(widgets_[1]);
  XtDestroyWidget(menus_[1]);
  menus_[1] = popup_menu(XtParent(widgets_[1]), "spare");
  pump_for(20);
  EXPECT_EQ(dtb_popup_menu_entries()[size_t(entry)].widget, nullptr);
  EXPECT_EQ(press_button3_over(widgets_[1]), -1);
}

TEST_F(PopupTest, Button3OverUnregisteredWidgetShowsNothing) {
  dtb_popup_menu_register(menus_[0], widgets_[0]);
  EXPECT_EQ(press_button3_over(widgets_[2]), -1);
  // The action itself, run for a widget without an entry or for another event, shows nothing.
  XEvent event{};
  event.type = ButtonPress;
  event.xbutton.display = XtDisplay(widgets_[2]);
  event.xbutton.window = XtWindow(widgets_[2]);
  Cardinal none = 0;
  dtb_popup_menu(widgets_[2], &event, nullptr, &none);
  event.type = ButtonRelease;
  dtb_popup_menu(widgets_[0], &event, nullptr, &none);
  pump_for(30);
  for (Widget menu : menus_) EXPECT_FALSE(XtIsManaged(menu));
}

}  // namespace
