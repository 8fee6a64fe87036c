// Popup menus shown by mouse button 3 over the widget that carries them.
#pragma once
#include <span>

#include <Xm/Xm.h>

// Attaches the popup menu to the widget; 0.
int dtb_popup_menu_register(Widget popupMenu, Widget widget);
// The "DtbPopupMenu" action: shows the menu of the widget at the button press.
void dtb_popup_menu(Widget widget, XEvent *event, String *params, Cardinal *numParams);
// Frees the entry of a destroyed widget or menu.
void dtb_popup_menu_destroyCB(Widget widget, XtPointer clientData, XtPointer callData);

// An entry of the popup table; one whose widget is null is free.
struct DtbPopupMenuEntry {
  Widget widget;
  Widget menu;
};
// The table as it stands, for inspection.
std::span<const DtbPopupMenuEntry> dtb_popup_menu_entries();
