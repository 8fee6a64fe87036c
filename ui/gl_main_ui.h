// The generated window module "gl_main": the main window, the add/modify
// dialog's record and the delete confirmation.
//
// Each window has one global instance record: a flag saying whether it has
// been built, then the handles of its widgets, null until a widget exists.
// The widgets belong to the toolkit; the records live as long as the program.
#pragma once
#include <Xm/Xm.h>

#include "dtb/dtb_utils.h"

struct DtbGlMainMainwindowInfo {
  Boolean initialized;
  Widget mainwindow;  // the shell: the application's toplevel in this program
  Widget mainwindow_mainwin;
  Widget mainwindow_form;
  Widget menubar;
  Widget File_item;
  Widget Help_item;
  Widget mainwindow_footer;
  Widget menubar_File_item_Quit_menu;
  Widget Close_item;
  Widget controlpane;
  Widget textfield_rowcolumn;
  Widget textfield_label;
  Widget textfield;
  Widget usrhjd_list_scrolledwin;
  Widget usrhjd_list;
  Widget label;
  Widget syshjd_list_scrolledwin;
  Widget syshjd_list;
  Widget label2;
  Widget Find;
  Widget Add;
  Widget Delete;
  Widget Modify;
  Widget separator;
  Widget mainwindow_label;
  // The 도움말 menu: 사용법 (the help volume) and 정보 (about glosset).
  Widget menubar_Help_item_menu;
  Widget Usage_item;
  Widget About_item;
};
typedef DtbGlMainMainwindowInfo *DtbGlMainMainwindowInfoPtr;

struct DtbGlMainDialogInfo {
  Boolean initialized;
  Widget dialog;
  Widget dialog_shellform;
  Widget dialog_panedwin;
  Widget dialog_form;
  Widget dialog_button_panel;
  Widget dialog_footer;
  Widget controlpane2;
  Widget textfield2_rowcolumn;
  Widget textfield2_label;
  Widget textfield2;
  Widget textfield3_rowcolumn;
  Widget textfield3_label;
  Widget textfield3;
  Widget dialog_button1;
  Widget dialog_button3;
  Widget dialog_label;
};
typedef DtbGlMainDialogInfo *DtbGlMainDialogInfoPtr;

extern DtbGlMainMainwindowInfo dtb_gl_main_mainwindow;
extern DtbGlMainDialogInfo dtb_gl_main_dialog;
extern DtbMessageRecord dtb_gl_main_delete_confirm;

// Zero-fill a record: flag 0, every handle null. Return 0.
int dtbGlMainMainwindowInfo_clear(DtbGlMainMainwindowInfoPtr instance);
int dtbGlMainDialogInfo_clear(DtbGlMainDialogInfoPtr instance);

// Build the main window under `parent` (inside `instance->mainwindow` when it is
// preset) unless the record says it is built already. Always returns 0; a
// widget that cannot be created only leaves its part of the window missing.
int dtb_gl_main_mainwindow_initialize(DtbGlMainMainwindowInfoPtr instance, Widget parent);

// Build the add/modify dialog, hidden, under `parent` (the main window's
// shell) unless the record says it is built already. Always returns 0;
// managing `dialog_shellform` shows it.
int dtb_gl_main_dialog_initialize(DtbGlMainDialogInfoPtr instance, Widget parent);

// Fill the delete confirmation once from the message catalog. Return 0.
int dtb_gl_main_delete_confirm_initialize(DtbMessageRecord *record);
