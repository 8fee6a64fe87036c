// The popup table: which menu button 3 shows over which widget.
#include "dtb/dtb_popup.h"

#include <new>
#include <vector>

#include <Xm/RowColumn.h>

#include "dtb/dtb_utils.h"

namespace {

// Entries are reused when freed; the table never shrinks.
std::vector<DtbPopupMenuEntry> popupMenus;
XtTranslations popupTranslations = nullptr;

void install_action(Widget widget) {
  if (popupTranslations != nullptr) return;
  static XtActionsRec actions[] = {{const_cast<char *>("DtbPopupMenu"), dtb_popup_menu}};
  // Before the toplevel is saved the widget's own application context serves.
  Widget toplevel = dtb_get_toplevel_widget();
  XtAppAddActions(XtWidgetToApplicationContext(toplevel != nullptr ? toplevel : widget), actions, 1);
  popupTranslations = XtParseTranslationTable("<Btn3Down>: DtbPopupMenu()");
}

}  // namespace

std::span<const DtbPopupMenuEntry> dtb_popup_menu_entries() { return popupMenus; }

int dtb_popup_menu_register(Widget popupMenu, Widget widget) {
  if (popupMenu == nullptr || widget == nullptr) return 0;
  install_action(widget);
  XtOverrideTranslations(widget, popupTranslations);
  // Motif's own posting grabs button 3 on the menu's parent, usually an
  // ancestor of the carrier, and the press would never reach the carrier's
  // translation. The runtime posts the menus it knows; it stays off for a menu
  // that later leaves the table, whose grab would again hide the carriers.
  XtVaSetValues(popupMenu, XmNpopupEnabled, XmPOPUP_DISABLED, nullptr);

  DtbPopupMenuEntry *entry = nullptr;
  for (DtbPopupMenuEntry &e : popupMenus) {
    if (e.widget == widget || e.menu == popupMenu) {
      entry = &e;
      break;
    }
  }
  if (entry == nullptr) {
    for (DtbPopupMenuEntry &e : popupMenus) {
      if (e.widget == nullptr) {
        entry = &e;
        break;
      }
    }
  }
  if (entry == nullptr) {
    try {
      entry = &popupMenus.emplace_back(DtbPopupMenuEntry{nullptr, nullptr});
    } catch (const std::bad_alloc &) {
      return 0;  // the widget keeps the translation but shows no menu
    }
  }
  entry->widget = widget;
  entry->menu = popupMenu;
  // One destroy callback per widget, however often it is registered.
  for (Widget w : {widget, popupMenu}) {
    XtRemoveCallback(w, XmNdestroyCallback, dtb_popup_menu_destroyCB, nullptr);
    XtAddCallback(w, XmNdestroyCallback, dtb_popup_menu_destroyCB, nullptr);
  }
  return 0;
}

void dtb_popup_menu(Widget widget, XEvent *event, String *, Cardinal *) {
  if (event == nullptr || event->type != ButtonPress || popupMenus.empty()) return;
  Widget menu = nullptr;
  for (const DtbPopupMenuEntry &e : popupMenus) {
    if (e.widget == widget) menu = e.menu;
  }
  if (menu == nullptr) return;
  XmMenuPosition(menu, &event->xbutton);
  XtManageChild(menu);
}

void dtb_popup_menu_destroyCB(Widget widget, XtPointer, XtPointer) {
  for (DtbPopupMenuEntry &e : popupMenus) {
    if (e.widget == widget || e.menu == widget) {
      e = {nullptr, nullptr};
      return;
    }
  }
}
