// The 도움말 menu of the main window and the help of each part of the windows.
#pragma once
#include "ui/gl_main_ui.h"

// The pulldown of 도움말 with 사용법 and 정보, under the menu bar. Returns 0, or
// -1 when a widget could not be created.
int dtb_gl_main_menubar_help_item_menu_create(DtbGlMainMainwindowInfoPtr instance, Widget parent);

// F1 (and every other help request) on a part of the main window shows the
// help topic of that part; anywhere else in the window, the volume's home.
void gl_main_mainwindow_attach_help(DtbGlMainMainwindowInfoPtr instance);
// The same for the add/modify dialog: its one topic.
void gl_main_dialog_attach_help(DtbGlMainDialogInfoPtr instance);
