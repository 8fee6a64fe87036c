// Editor operations behind the main window: Find, the footer writer and the
// focus hints.
#pragma once
#include <X11/Intrinsic.h>

// Show `text` (in the running text mode's encoding) as the label's one line.
void display_message(Widget label, const char *text);

// Find: fill both lists with the words registered for the reading in the
// main window's field and report the two counts in the footer.
void find_button_proc();

// Focus hints of the main window's field and of the add/modify dialog's two.
void main_win_kor_field_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
void main_win_kor_field_loose_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
void addmod_kor_field_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
void addmod_kor_field_loose_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
void addmod_chn_field_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
void addmod_chn_field_loose_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
