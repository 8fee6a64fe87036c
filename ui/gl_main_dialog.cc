// The add/modify dialog of the gl_main module: a dialog shell holding a paned
// window of three panes (the two fields, the OK/Cancel panel, a one-line
// footer). Built hidden; managing dialog_shellform shows it.
#include <Xm/DialogS.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/PanedW.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/TextF.h>

#include <string>

#include "app/glosset.h"
#include "editor/gl_main_stubs.h"
#include "ui/catalog_text.h"
#include "ui/gl_main_help_menu.h"
#include "ui/gl_main_ui.h"
#include "ui/gl_main_widgets.h"

using gl_main::create_labelled;
using gl_main::manage;
using gl_main::manage_children;
using gl_main::white_for;

static int dtb_gl_main_dialog_create(DtbGlMainDialogInfoPtr instance, Widget parent) {
  if (instance->dialog == nullptr && parent != nullptr) {
    std::string title = catalog_text(6, "\xc3\xdf\xb0\xa1/\xbc\xf6\xc1\xa4");  // 추가/수정
    Arg args[4];
    Cardinal n = 0;
    XtSetArg(args[n], XmNallowShellResize, True); n++;
    XtSetArg(args[n], XmNtitle, title.c_str()); n++;
    // No fixed encoding: the toolkit encodes the Korean title for the locale.
    XtSetArg(args[n], XmNtitleEncoding, None); n++;
    XtSetArg(args[n], XmNbackground, white_for(parent)); n++;
    instance->dialog = XmCreateDialogShell(parent, const_cast<char *>("dtb_gl_main_dialog"), args, n);
    glosset_identify_window(instance->dialog, false);
  }
  if (instance->dialog == nullptr) return -1;

  if (instance->dialog_shellform == nullptr) {
    instance->dialog_shellform = XtVaCreateWidget(
        "dtb_gl_main_dialog_shellform", xmFormWidgetClass, instance->dialog, XmNnoResize, True,
        XmNdefaultPosition, False, XmNmarginWidth, 0, XmNmarginHeight, 0, XmNbackground,
        white_for(instance->dialog), nullptr);
  }
  if (instance->dialog_shellform == nullptr) return -1;

  if (instance->dialog_panedwin == nullptr) {
    instance->dialog_panedwin = XtVaCreateWidget(
        "dialog_panedwin", xmPanedWindowWidgetClass, instance->dialog_shellform, XmNtopAttachment,
        XmATTACH_POSITION, XmNtopPosition, 0, XmNtopOffset, 0, XmNbottomAttachment, XmATTACH_POSITION,
        XmNbottomPosition, 100, XmNbottomOffset, 0, XmNleftAttachment, XmATTACH_POSITION, XmNleftPosition, 0,
        XmNleftOffset, 0, XmNrightAttachment, XmATTACH_POSITION, XmNrightPosition, 100, XmNrightOffset, 0,
        XmNsashWidth, 1, XmNsashHeight, 1, XmNspacing, 0, XmNmarginWidth, 0, XmNmarginHeight, 0, XmNbackground,
        white_for(instance->dialog_shellform), nullptr);
  }
  if (instance->dialog_panedwin == nullptr) return -1;

  if (instance->dialog_form == nullptr) {
    instance->dialog_form = XtVaCreateWidget(
        "dialog_form", xmFormWidgetClass, instance->dialog_panedwin, XmNallowResize, True, XmNmarginWidth, 0,
        XmNmarginHeight, 0, XmNresizePolicy, XmRESIZE_GROW, XmNwidth, 228, XmNheight, 112, XmNbackground,
        white_for(instance->dialog_panedwin), nullptr);
  }
  if (instance->dialog_form == nullptr) return -1;

  gl_main_dialog_CB1(instance->dialog, nullptr, instance);
  return 0;
}

// A pane of fixed height below the fields.
static Widget create_pane(const char *name, Widget parent, int height, int margin, int index) {
  return XtVaCreateWidget(name, xmFormWidgetClass, parent, XmNpaneMaximum, height, XmNpaneMinimum, height,
                          XmNresizePolicy, XmRESIZE_GROW, XmNmarginWidth, margin, XmNmarginHeight, margin,
                          XmNpositionIndex, index, XmNheight, height, nullptr);
}

static int dtb_gl_main_dialog_button_panel_create(DtbGlMainDialogInfoPtr instance, Widget parent) {
  if (instance->dialog_button_panel == nullptr && parent != nullptr) {
    instance->dialog_button_panel = create_pane("dialog_button_panel", parent, 48, 7, 1);
  }
  return instance->dialog_button_panel != nullptr ? 0 : -1;
}

static int dtb_gl_main_dialog_footer_create(DtbGlMainDialogInfoPtr instance, Widget parent) {
  if (instance->dialog_footer == nullptr && parent != nullptr) {
    instance->dialog_footer = create_pane("dialog_footer", parent, 28, 0, 2);
  }
  return instance->dialog_footer != nullptr ? 0 : -1;
}

static int dtb_gl_main_controlpane2_create(DtbGlMainDialogInfoPtr instance, Widget parent) {
  if (instance->controlpane2 == nullptr && parent != nullptr) {
    instance->controlpane2 = XtVaCreateWidget(
        "controlpane2", xmFormWidgetClass, parent, XmNtopAttachment, XmATTACH_FORM, XmNtopOffset, 0,
        XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, 0, XmNrightAttachment, XmATTACH_FORM, XmNrightOffset, 0,
        XmNbottomAttachment, XmATTACH_NONE, XmNresizePolicy, XmRESIZE_GROW, XmNmarginWidth, 0, XmNmarginHeight, 0,
        XmNwidth, 228, XmNheight, 129, XmNx, 0, XmNy, 0, nullptr);
  }
  return instance->controlpane2 != nullptr ? 0 : -1;
}

// One field row: a horizontal row-column with a caption and a text field of
// 8 columns taking at most `max_length` characters.
static int create_field_row(Widget parent, int top, const char *row_name, const char *label_name,
                            const char *field_name, int number, const char *euc_default, int max_length,
                            Widget *row, Widget *label, Widget *field) {
  if (*row == nullptr && parent != nullptr) {
    *row = XtVaCreateWidget(row_name, xmRowColumnWidgetClass, parent, XmNtopAttachment, XmATTACH_FORM,
                            XmNtopOffset, top, XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, 21,
                            XmNbottomAttachment, XmATTACH_NONE, XmNrightAttachment, XmATTACH_NONE, XmNadjustLast,
                            True, XmNspacing, 0, XmNmarginWidth, 0, XmNmarginHeight, 0, XmNentryAlignment,
                            XmALIGNMENT_END, XmNorientation, XmHORIZONTAL, XmNx, 21, XmNy, top, nullptr);
  }
  if (*row == nullptr) return -1;

  if (*label == nullptr) *label = create_labelled(label_name, xmLabelWidgetClass, *row, number, euc_default, nullptr, 0);
  if (*label == nullptr) return -1;

  if (*field == nullptr) {
    Arg args[4];
    Cardinal n = 0;
    XtSetArg(args[n], XmNmaxLength, max_length); n++;
    XtSetArg(args[n], XmNeditable, True); n++;
    XtSetArg(args[n], XmNcursorPositionVisible, True); n++;
    XtSetArg(args[n], XmNcolumns, 8); n++;
    *field = XmCreateTextField(*row, const_cast<char *>(field_name), args, n);
  }
  return *field != nullptr ? 0 : -1;
}

static int dtb_gl_main_textfield2_create(DtbGlMainDialogInfoPtr instance, Widget parent) {
  // 한글:
  if (create_field_row(parent, 29, "textfield2_rowcolumn", "textfield2_label", "textfield2", 10,
                       "\xc7\xd1\xb1\xdb:", 20, &instance->textfield2_rowcolumn, &instance->textfield2_label,
                       &instance->textfield2) != 0) {
    return -1;
  }
  gl_main_textfield2_CB1(instance->textfield2, nullptr, instance);
  return 0;
}

static int dtb_gl_main_textfield3_create(DtbGlMainDialogInfoPtr instance, Widget parent) {
  // 한자:
  if (create_field_row(parent, 72, "textfield3_rowcolumn", "textfield3_label", "textfield3", 18,
                       "\xc7\xd1\xc0\xda:", 80, &instance->textfield3_rowcolumn, &instance->textfield3_label,
                       &instance->textfield3) != 0) {
    return -1;
  }
  gl_main_textfield3_CB1(instance->textfield3, nullptr, instance);
  return 0;
}

// A button of the panel spanning `left` to `right` percent of its width.
static Widget create_panel_button(const char *name, Widget parent, int number, const char *euc_default, int left,
                                  int right, int x) {
  Arg args[14];
  Cardinal n = 0;
  XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); n++;
  XtSetArg(args[n], XmNtopOffset, 5); n++;
  XtSetArg(args[n], XmNleftAttachment, XmATTACH_POSITION); n++;
  XtSetArg(args[n], XmNleftPosition, left); n++;
  XtSetArg(args[n], XmNleftOffset, 0); n++;
  XtSetArg(args[n], XmNrightAttachment, XmATTACH_POSITION); n++;
  XtSetArg(args[n], XmNrightPosition, right); n++;
  XtSetArg(args[n], XmNrightOffset, 0); n++;
  XtSetArg(args[n], XmNbottomAttachment, XmATTACH_NONE); n++;
  XtSetArg(args[n], XmNrecomputeSize, True); n++;
  XtSetArg(args[n], XmNalignment, XmALIGNMENT_CENTER); n++;
  XtSetArg(args[n], XmNdefaultButtonShadowThickness, 1); n++;
  XtSetArg(args[n], XmNx, x); n++;
  XtSetArg(args[n], XmNy, 5); n++;
  return create_labelled(name, xmPushButtonWidgetClass, parent, number, euc_default, args, n);
}

static int dtb_gl_main_dialog_button1_create(DtbGlMainDialogInfoPtr instance, Widget parent) {
  if (instance->dialog_button1 == nullptr && parent != nullptr) {
    instance->dialog_button1 =
        create_panel_button("dialog_button1", parent, 19, "\xc8\xae\xc0\xce", 22, 42, 60);  // 확인
  }
  return instance->dialog_button1 != nullptr ? 0 : -1;
}

static int dtb_gl_main_dialog_button3_create(DtbGlMainDialogInfoPtr instance, Widget parent) {
  if (instance->dialog_button3 == nullptr && parent != nullptr) {
    instance->dialog_button3 =
        create_panel_button("dialog_button3", parent, 20, "\xc3\xeb\xbc\xd2", 53, 76, 146);  // 취소
  }
  return instance->dialog_button3 != nullptr ? 0 : -1;
}

static int dtb_gl_main_dialog_label_create(DtbGlMainDialogInfoPtr instance, Widget parent) {
  if (instance->dialog_label == nullptr && parent != nullptr) {
    Arg args[11];
    Cardinal n = 0;
    XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); n++;
    XtSetArg(args[n], XmNtopOffset, 1); n++;
    XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); n++;
    XtSetArg(args[n], XmNleftOffset, 1); n++;
    XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); n++;
    XtSetArg(args[n], XmNrightOffset, 0); n++;
    XtSetArg(args[n], XmNbottomAttachment, XmATTACH_NONE); n++;
    XtSetArg(args[n], XmNrecomputeSize, True); n++;
    XtSetArg(args[n], XmNalignment, XmALIGNMENT_CENTER); n++;
    XtSetArg(args[n], XmNx, 1); n++;
    XtSetArg(args[n], XmNy, 1); n++;
    instance->dialog_label = create_labelled("dialog_label", xmLabelWidgetClass, parent, 21, "  ", args, n);
  }
  return instance->dialog_label != nullptr ? 0 : -1;
}

// The pane keeps the height it was given when built.
static void fix_pane_height(Widget pane) {
  if (pane == nullptr) return;
  Dimension height = 0;
  XtVaGetValues(pane, XmNheight, &height, nullptr);
  XtVaSetValues(pane, XmNpaneMinimum, height, XmNpaneMaximum, height, nullptr);
}

int dtb_gl_main_dialog_initialize(DtbGlMainDialogInfoPtr instance, Widget parent) {
  if (instance->initialized) return 0;
  instance->initialized = True;

  dtb_gl_main_dialog_create(instance, parent);
  dtb_gl_main_dialog_button_panel_create(instance, instance->dialog_panedwin);
  dtb_gl_main_dialog_footer_create(instance, instance->dialog_panedwin);
  dtb_gl_main_controlpane2_create(instance, instance->dialog_form);
  dtb_gl_main_textfield2_create(instance, instance->controlpane2);
  dtb_gl_main_textfield3_create(instance, instance->controlpane2);
  dtb_gl_main_dialog_button1_create(instance, instance->dialog_button_panel);
  dtb_gl_main_dialog_button3_create(instance, instance->dialog_button_panel);
  dtb_gl_main_dialog_label_create(instance, instance->dialog_footer);

  if (instance->dialog_shellform != nullptr) {
    XtVaSetValues(instance->dialog_shellform, XmNdefaultButton, instance->dialog_button1, nullptr);
    // Escape anywhere in the dialog presses Cancel, as Return presses OK.
    XtVaSetValues(instance->dialog_shellform, XmNcancelButton, instance->dialog_button3, nullptr);
  }
  fix_pane_height(instance->dialog_button_panel);
  fix_pane_height(instance->dialog_footer);

  manage_children(instance->textfield2_rowcolumn);
  manage_children(instance->textfield3_rowcolumn);
  manage_children(instance->controlpane2);
  manage_children(instance->dialog_form);
  manage_children(instance->dialog_button_panel);
  manage_children(instance->dialog_footer);
  manage(instance->dialog_form);
  manage(instance->dialog_button_panel);
  manage(instance->dialog_footer);
  manage_children(instance->dialog_shellform);

  dtb_remove_sash_focus(instance->dialog_panedwin);

  XtPointer record = &dtb_gl_main_dialog;
  if (instance->dialog_button1 != nullptr) {
    XtAddCallback(instance->dialog_button1, XmNactivateCallback, gl_main_dialog_button1_CB1, record);
  }
  if (instance->dialog_button3 != nullptr) {
    XtAddCallback(instance->dialog_button3, XmNactivateCallback, gl_main_dialog_button3_CB1, record);
  }
  gl_main_dialog_attach_help(instance);
  return 0;
}
