// The main window of the gl_main module: one create function per widget (or
// small group), called once in a fixed order, then connected and managed.
#include <X11/Shell.h>
#include <Xm/CascadeB.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/List.h>
#include <Xm/MainW.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Separator.h>
#include <Xm/TextF.h>

#include <string>

#include "app/glosset.h"
#include "editor/gl_main_stubs.h"
#include "ui/catalog_text.h"
#include "ui/gl_main_help_menu.h"
#include "ui/gl_main_ui.h"
#include "ui/gl_main_widgets.h"

namespace {

using gl_main::create_labelled;
using gl_main::manage;
using gl_main::manage_children;
using gl_main::white_for;

KeySym mnemonic(const char *letter) { return XStringToKeysym(letter); }

}  // namespace

static int dtb_gl_main_mainwindow_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->mainwindow == nullptr && parent != nullptr) {
    std::string title = catalog_text(1, "glosset");
    instance->mainwindow = XtVaCreatePopupShell(
        "mainwindow", topLevelShellWidgetClass, parent, XmNallowShellResize, True, XmNtitle, title.c_str(),
        XmNinitialState, NormalState, XmNbackground, white_for(parent), nullptr);
  }
  if (instance->mainwindow == nullptr) return -1;

  if (instance->mainwindow_mainwin == nullptr) {
    instance->mainwindow_mainwin =
        XtVaCreateWidget("dtb_gl_main_mainwindow_mainwin", xmMainWindowWidgetClass, instance->mainwindow,
                         XmNbackground, white_for(instance->mainwindow), nullptr);
  }
  if (instance->mainwindow_mainwin == nullptr) return -1;

  if (instance->mainwindow_form == nullptr) {
    instance->mainwindow_form = XtVaCreateWidget(
        "mainwindow_form", xmFormWidgetClass, instance->mainwindow_mainwin, XmNmarginWidth, 0, XmNmarginHeight,
        0, XmNresizePolicy, XmRESIZE_GROW, XmNwidth, 417, XmNheight, 444, XmNbackground,
        white_for(instance->mainwindow_mainwin), nullptr);
  }
  if (instance->mainwindow_form == nullptr) return -1;

  gl_main_mainwindow_CB1(instance->mainwindow, nullptr, instance);
  return 0;
}

static int dtb_gl_main_menubar_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->menubar == nullptr && parent != nullptr) {
    Arg args[1];
    XtSetArg(args[0], XmNrowColumnType, XmMENU_BAR);
    instance->menubar = XmCreateMenuBar(parent, const_cast<char *>("menubar"), args, 1);
  }
  if (instance->menubar == nullptr) return -1;

  if (instance->File_item == nullptr) {
    Arg args[1];
    XtSetArg(args[0], XmNmnemonic, mnemonic("F"));
    // 파일
    instance->File_item = create_labelled("File_item", xmCascadeButtonWidgetClass, instance->menubar, 7,
                                          "\xc6\xc4\xc0\xcf", args, 1, true);
  }
  if (instance->File_item == nullptr) return -1;

  if (instance->Help_item == nullptr) {
    Arg args[1];
    XtSetArg(args[0], XmNmnemonic, mnemonic("H"));
    // 도움말
    instance->Help_item = create_labelled("Help_item", xmCascadeButtonWidgetClass, instance->menubar, 8,
                                          "\xb5\xb5\xbf\xf2\xb8\xbb", args, 1, true);
  }
  return instance->Help_item != nullptr ? 0 : -1;
}

static int dtb_gl_main_mainwindow_footer_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->mainwindow_footer == nullptr && parent != nullptr) {
    instance->mainwindow_footer =
        XtVaCreateWidget("mainwindow_footer", xmFormWidgetClass, parent, XmNresizePolicy, XmRESIZE_GROW,
                         XmNmarginWidth, 0, XmNmarginHeight, 0, XmNheight, 28, nullptr);
  }
  return instance->mainwindow_footer != nullptr ? 0 : -1;
}

static int dtb_gl_main_menubar_file_item_quit_menu_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->menubar_File_item_Quit_menu == nullptr && parent != nullptr) {
    Arg args[1];
    XtSetArg(args[0], XmNtearOffModel, XmTEAR_OFF_DISABLED);
    instance->menubar_File_item_Quit_menu =
        XmCreatePulldownMenu(parent, const_cast<char *>("menubar_File_item_Quit_menu"), args, 1);
  }
  if (instance->menubar_File_item_Quit_menu == nullptr) return -1;

  if (instance->Close_item == nullptr) {
    Arg args[1];
    XtSetArg(args[0], XmNmnemonic, mnemonic("C"));
    // 닫기
    instance->Close_item = create_labelled("Close_item", xmPushButtonWidgetClass,
                                           instance->menubar_File_item_Quit_menu, 9, "\xb4\xdd\xb1\xe2", args, 1,
                                           true);
  }
  if (instance->Close_item == nullptr) return -1;

  gl_main_Quit_menu_CB1(instance->menubar_File_item_Quit_menu, nullptr, instance);
  return 0;
}

static int dtb_gl_main_controlpane_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->controlpane == nullptr && parent != nullptr) {
    instance->controlpane = XtVaCreateWidget(
        "controlpane", xmFormWidgetClass, parent, XmNtopAttachment, XmATTACH_FORM, XmNtopOffset, 0,
        XmNbottomAttachment, XmATTACH_FORM, XmNbottomOffset, 0, XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, 0,
        XmNrightAttachment, XmATTACH_FORM, XmNrightOffset, 0, XmNresizePolicy, XmRESIZE_GROW, XmNmarginWidth, 0,
        XmNmarginHeight, 0, XmNwidth, 417, XmNheight, 444, XmNx, 0, XmNy, 0, nullptr);
  }
  return instance->controlpane != nullptr ? 0 : -1;
}

static int dtb_gl_main_textfield_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->textfield_rowcolumn == nullptr && parent != nullptr) {
    instance->textfield_rowcolumn = XtVaCreateWidget(
        "textfield_rowcolumn", xmRowColumnWidgetClass, parent, XmNtopAttachment, XmATTACH_FORM, XmNtopOffset, 21,
        XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, 24, XmNbottomAttachment, XmATTACH_NONE,
        XmNrightAttachment, XmATTACH_NONE, XmNadjustLast, True, XmNspacing, 0, XmNmarginWidth, 0,
        XmNmarginHeight, 0, XmNentryAlignment, XmALIGNMENT_END, XmNorientation, XmHORIZONTAL, XmNx, 24, XmNy, 21,
        nullptr);
  }
  if (instance->textfield_rowcolumn == nullptr) return -1;

  if (instance->textfield_label == nullptr) {
    // 한글:
    instance->textfield_label = create_labelled("textfield_label", xmLabelWidgetClass,
                                                instance->textfield_rowcolumn, 10, "\xc7\xd1\xb1\xdb:", nullptr, 0);
  }
  if (instance->textfield_label == nullptr) return -1;

  if (instance->textfield == nullptr) {
    Arg args[4];
    Cardinal n = 0;
    XtSetArg(args[n], XmNmaxLength, 80); n++;
    XtSetArg(args[n], XmNeditable, True); n++;
    XtSetArg(args[n], XmNcursorPositionVisible, True); n++;
    XtSetArg(args[n], XmNcolumns, 17); n++;
    instance->textfield = XmCreateTextField(instance->textfield_rowcolumn, const_cast<char *>("textfield"), args, n);
  }
  if (instance->textfield == nullptr) return -1;

  gl_main_textfield_CB1(instance->textfield, nullptr, instance);
  return 0;
}

// A scrolled list made in one call; the placement resources act on its scrolled
// window, which is stored and left unmanaged for the batch that manages the
// other controls.
static int create_scrolled_list(const char *name, Widget parent, int visible_items, int top, int left,
                                Widget *list, Widget *scrolledwin) {
  if (*list == nullptr && parent != nullptr) {
    Arg args[13];
    Cardinal n = 0;
    XtSetArg(args[n], XmNscrollBarDisplayPolicy, XmSTATIC); n++;
    XtSetArg(args[n], XmNlistSizePolicy, XmCONSTANT); n++;
    XtSetArg(args[n], XmNselectionPolicy, XmSINGLE_SELECT); n++;
    XtSetArg(args[n], XmNvisibleItemCount, visible_items); n++;
    XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); n++;
    XtSetArg(args[n], XmNtopOffset, top); n++;
    XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); n++;
    XtSetArg(args[n], XmNleftOffset, left); n++;
    XtSetArg(args[n], XmNbottomAttachment, XmATTACH_NONE); n++;
    XtSetArg(args[n], XmNrightAttachment, XmATTACH_NONE); n++;
    XtSetArg(args[n], XmNwidth, 311); n++;
    XtSetArg(args[n], XmNx, left); n++;
    XtSetArg(args[n], XmNy, top); n++;
    *list = XmCreateScrolledList(parent, const_cast<char *>(name), args, n);
    if (*list != nullptr) {
      *scrolledwin = XtParent(*list);
      XtUnmanageChild(*scrolledwin);
      // The list's own shadow sets it off from its scroll bar; the default 4
      // pixels between them would push the system list (7 rows of the UTF-8
      // resource file's font) over the separator below it.
      XtVaSetValues(*scrolledwin, XmNspacing, 0, nullptr);
    }
  }
  return *list != nullptr ? 0 : -1;
}

static int dtb_gl_main_usrhjd_list_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  return create_scrolled_list("usrhjd_list", parent, 8, 262, 21, &instance->usrhjd_list,
                              &instance->usrhjd_list_scrolledwin);
}

static int dtb_gl_main_syshjd_list_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  return create_scrolled_list("syshjd_list", parent, 7, 80, 23, &instance->syshjd_list,
                              &instance->syshjd_list_scrolledwin);
}

// A caption of the control pane, attached to the form's top left corner.
static Widget create_caption(const char *name, Widget parent, int number, const char *euc_default, int top,
                             int left) {
  Arg args[10];
  Cardinal n = 0;
  XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); n++;
  XtSetArg(args[n], XmNtopOffset, top); n++;
  XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); n++;
  XtSetArg(args[n], XmNleftOffset, left); n++;
  XtSetArg(args[n], XmNbottomAttachment, XmATTACH_NONE); n++;
  XtSetArg(args[n], XmNrightAttachment, XmATTACH_NONE); n++;
  XtSetArg(args[n], XmNrecomputeSize, True); n++;
  XtSetArg(args[n], XmNalignment, XmALIGNMENT_CENTER); n++;
  XtSetArg(args[n], XmNx, left); n++;
  XtSetArg(args[n], XmNy, top); n++;
  return create_labelled(name, xmLabelWidgetClass, parent, number, euc_default, args, n);
}

static int dtb_gl_main_label_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->label == nullptr && parent != nullptr) {
    // 시스템 사전
    instance->label = create_caption("label", parent, 11, "\xbd\xc3\xbd\xba\xc5\xdb \xbb\xe7\xc0\xfc", 59, 24);
  }
  return instance->label != nullptr ? 0 : -1;
}

static int dtb_gl_main_label2_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->label2 == nullptr && parent != nullptr) {
    // 사용자 사전
    instance->label2 = create_caption("label2", parent, 12, "\xbb\xe7\xbf\xeb\xc0\xda \xbb\xe7\xc0\xfc", 241, 21);
  }
  return instance->label2 != nullptr ? 0 : -1;
}

// A 56 x 23 command button whose left side will be attached to a widget once
// every control exists.
static Widget create_command_button(const char *name, Widget parent, int number, const char *euc_default, int top,
                                    int left_offset, int x) {
  Arg args[12];
  Cardinal n = 0;
  XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); n++;
  XtSetArg(args[n], XmNtopOffset, top); n++;
  XtSetArg(args[n], XmNleftAttachment, XmATTACH_WIDGET); n++;
  XtSetArg(args[n], XmNleftOffset, left_offset); n++;
  XtSetArg(args[n], XmNbottomAttachment, XmATTACH_NONE); n++;
  XtSetArg(args[n], XmNrightAttachment, XmATTACH_NONE); n++;
  XtSetArg(args[n], XmNrecomputeSize, False); n++;
  XtSetArg(args[n], XmNalignment, XmALIGNMENT_CENTER); n++;
  XtSetArg(args[n], XmNwidth, 56); n++;
  XtSetArg(args[n], XmNheight, 23); n++;
  XtSetArg(args[n], XmNx, x); n++;
  XtSetArg(args[n], XmNy, top); n++;
  return create_labelled(name, xmPushButtonWidgetClass, parent, number, euc_default, args, n);
}

static int dtb_gl_main_find_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->Find == nullptr && parent != nullptr) {
    instance->Find = create_command_button("Find", parent, 13, "\xc3\xa3\xb1\xe2", 24, 26, 331);  // 찾기
  }
  return instance->Find != nullptr ? 0 : -1;
}

static int dtb_gl_main_add_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->Add == nullptr && parent != nullptr) {
    instance->Add = create_command_button("Add", parent, 14, "\xb4\xf5\xc7\xcf\xb1\xe2", 262, 14, 332);  // 더하기
  }
  return instance->Add != nullptr ? 0 : -1;
}

static int dtb_gl_main_delete_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->Delete == nullptr && parent != nullptr) {
    instance->Delete =
        create_command_button("Delete", parent, 15, "\xc1\xf6\xbf\xec\xb1\xe2", 328, 14, 337);  // 지우기
  }
  return instance->Delete != nullptr ? 0 : -1;
}

static int dtb_gl_main_modify_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->Modify == nullptr && parent != nullptr) {
    instance->Modify = create_command_button("Modify", parent, 16, "\xbc\xf6\xc1\xa4", 293, 14, 346);  // 수정
  }
  return instance->Modify != nullptr ? 0 : -1;
}

static int dtb_gl_main_separator_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->separator == nullptr && parent != nullptr) {
    instance->separator = XtVaCreateWidget(
        "separator", xmSeparatorWidgetClass, parent, XmNtopAttachment, XmATTACH_FORM, XmNtopOffset, 229,
        XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, 0, XmNrightAttachment, XmATTACH_FORM, XmNrightOffset, 0,
        XmNbottomAttachment, XmATTACH_NONE, XmNseparatorType, XmSHADOW_ETCHED_IN, XmNorientation, XmHORIZONTAL,
        XmNheight, 3, XmNx, 0, XmNy, 229, nullptr);
  }
  return instance->separator != nullptr ? 0 : -1;
}

static int dtb_gl_main_mainwindow_label_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->mainwindow_label == nullptr && parent != nullptr) {
    Arg args[11];
    Cardinal n = 0;
    XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); n++;
    XtSetArg(args[n], XmNtopOffset, 1); n++;
    XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); n++;
    XtSetArg(args[n], XmNleftOffset, 0); n++;
    XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); n++;
    XtSetArg(args[n], XmNrightOffset, 0); n++;
    XtSetArg(args[n], XmNbottomAttachment, XmATTACH_NONE); n++;
    XtSetArg(args[n], XmNrecomputeSize, True); n++;
    XtSetArg(args[n], XmNalignment, XmALIGNMENT_CENTER); n++;
    XtSetArg(args[n], XmNx, 0); n++;
    XtSetArg(args[n], XmNy, 1); n++;
    instance->mainwindow_label = create_labelled("mainwindow_label", xmLabelWidgetClass, parent, 17, " ", args, n);
  }
  return instance->mainwindow_label != nullptr ? 0 : -1;
}

// Step 3: the references between widgets that exist only once all are built.
static void connect_pieces(DtbGlMainMainwindowInfoPtr instance) {
  if (instance->mainwindow_mainwin != nullptr) {
    XtVaSetValues(instance->mainwindow_mainwin, XmNmessageWindow, instance->mainwindow_footer, XmNmenuBar,
                  instance->menubar, XmNworkWindow, instance->mainwindow_form, nullptr);
  }
  if (instance->menubar != nullptr) XtVaSetValues(instance->menubar, XmNmenuHelpWidget, instance->Help_item, nullptr);
  if (instance->Help_item != nullptr) {
    XtVaSetValues(instance->Help_item, XmNsubMenuId, instance->menubar_Help_item_menu, nullptr);
  }
  if (instance->File_item != nullptr) {
    XtVaSetValues(instance->File_item, XmNsubMenuId, instance->menubar_File_item_Quit_menu, nullptr);
  }
  if (instance->Find != nullptr) XtVaSetValues(instance->Find, XmNleftWidget, instance->textfield_rowcolumn, nullptr);
  for (Widget button : {instance->Add, instance->Delete, instance->Modify}) {
    if (button != nullptr) XtVaSetValues(button, XmNleftWidget, instance->usrhjd_list_scrolledwin, nullptr);
  }
  if (instance->mainwindow_mainwin != nullptr) {
    XmMainWindowSetAreas(instance->mainwindow_mainwin, instance->menubar, nullptr, nullptr, nullptr,
                         instance->mainwindow_form);
    XtVaSetValues(instance->mainwindow_mainwin, XmNmessageWindow, instance->mainwindow_footer, nullptr);
  }
}

// Step 4: managing bottom up, so that each parent lays out its children once.
static void manage_tree(DtbGlMainMainwindowInfoPtr instance) {
  manage_children(instance->menubar_File_item_Quit_menu);
  manage_children(instance->menubar_Help_item_menu);
  manage_children(instance->menubar);
  manage_children(instance->textfield_rowcolumn);
  manage(instance->usrhjd_list);
  manage(instance->syshjd_list);
  manage_children(instance->controlpane);
  manage_children(instance->mainwindow_form);
  manage_children(instance->mainwindow_footer);
  manage(instance->menubar);
  manage(instance->mainwindow_form);
  manage(instance->mainwindow_footer);
  manage_children(instance->mainwindow);
}

int dtb_gl_main_mainwindow_initialize(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->initialized) return 0;
  instance->initialized = True;

  dtb_gl_main_mainwindow_create(instance, parent);
  dtb_gl_main_menubar_create(instance, instance->mainwindow_mainwin);
  dtb_gl_main_mainwindow_footer_create(instance, instance->mainwindow_mainwin);
  dtb_gl_main_menubar_file_item_quit_menu_create(instance, instance->menubar);
  dtb_gl_main_menubar_help_item_menu_create(instance, instance->menubar);
  dtb_gl_main_controlpane_create(instance, instance->mainwindow_form);
  dtb_gl_main_textfield_create(instance, instance->controlpane);
  dtb_gl_main_usrhjd_list_create(instance, instance->controlpane);
  dtb_gl_main_label_create(instance, instance->controlpane);
  dtb_gl_main_syshjd_list_create(instance, instance->controlpane);
  dtb_gl_main_label2_create(instance, instance->controlpane);
  dtb_gl_main_find_create(instance, instance->controlpane);
  dtb_gl_main_add_create(instance, instance->controlpane);
  dtb_gl_main_delete_create(instance, instance->controlpane);
  dtb_gl_main_modify_create(instance, instance->controlpane);
  dtb_gl_main_separator_create(instance, instance->controlpane);
  dtb_gl_main_mainwindow_label_create(instance, instance->mainwindow_footer);

  connect_pieces(instance);
  manage_tree(instance);

  XtPointer record = &dtb_gl_main_mainwindow;
  if (instance->Find != nullptr) XtAddCallback(instance->Find, XmNactivateCallback, gl_main_Find_CB1, record);
  if (instance->Add != nullptr) XtAddCallback(instance->Add, XmNactivateCallback, gl_main_Add_CB1, record);
  if (instance->Delete != nullptr) XtAddCallback(instance->Delete, XmNactivateCallback, gl_main_Delete_CB1, record);
  if (instance->Modify != nullptr) XtAddCallback(instance->Modify, XmNactivateCallback, gl_main_Modify_CB1, record);
  gl_main_mainwindow_attach_help(instance);
  return 0;
}
