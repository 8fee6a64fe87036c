// Callbacks of the gl_main windows: each is a trampoline into one operation.
#pragma once
#include <X11/Intrinsic.h>

// Main window.
void gl_main_Find_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void gl_main_Add_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void gl_main_Modify_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void gl_main_Delete_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void gl_main_DeleteConfirm_CB1(Widget widget, XtPointer client_data, XtPointer call_data);

// Help: the 도움말 menu's 사용법 and 정보, and the help callback of every part
// of the windows, whose client data is the location id of its topic.
void gl_main_Usage_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void gl_main_About_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void gl_main_help_CB1(Widget widget, XtPointer client_data, XtPointer call_data);

// Add/modify dialog: OK, Cancel, and the creation hook of its shell.
void gl_main_dialog_button1_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void gl_main_dialog_button3_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void gl_main_dialog_CB1(Widget widget, XtPointer client_data, XtPointer call_data);

// Creation hooks of the text fields: they attach the focus hints.
void gl_main_textfield_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void gl_main_textfield2_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void gl_main_textfield3_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
