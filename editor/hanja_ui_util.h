// Editor operations behind the windows: Find, the footer writer and the focus
// hints (hanja_ui_util.cc); Add, Modify and Delete with the add/modify dialog
// and the delete confirmation (hanja_edit_ui.cc).
#pragma once
#include <X11/Intrinsic.h>

// Show `text` (in the running text mode's encoding) as the label's one line.
void display_message(Widget label, const char *text);

// Find: fill both lists with the words registered for the reading in the
// main window's field and report the two counts in the footer. The keyboard
// focus goes back to the field.
void find_button_proc();

// Give the main window's field the keyboard focus, with its text selected.
void focus_reading_field();
// Make the main window's field the first to get the keyboard once the window
// has it.
void start_in_reading_field();

// Focus hints of the main window's field and of the add/modify dialog's two.
void main_win_kor_field_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
void main_win_kor_field_loose_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
void addmod_kor_field_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
void addmod_kor_field_loose_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
void addmod_chn_field_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);
void addmod_chn_field_loose_focus_CB(Widget widget, XtPointer client_data, XtPointer call_data);

// What the open add/modify dialog is for: 1 Add, 2 Modify.
extern int function;
inline constexpr int kFunctionAdd = 1;
inline constexpr int kFunctionModify = 2;

// The text of the entry selected in the user list, or null (after showing the
// selection prompt in the main footer) when nothing is selected. The text
// stays valid until the next call.
const char *get_selected_hanja();

// Open the add/modify dialog for Add (Hangul field preset from the main
// window's field) or for Modify (the Hanja field preset with the selected
// entry; only the prompt when nothing is selected). A dialog already on the
// screen is raised and refilled for the new command.
void open_add_dialog();
void open_modify_dialog();
// Close the dialog on the screen, if any.
void close_edit_dialog();
// Keep the dialog record pointing at the dialog on the screen: the shell's
// window-manager close acts like Cancel, and a destroyed dialog is forgotten.
void watch_edit_dialog(Widget dialog_shell);

// OK of the dialog (Add or Modify), and Delete from the main window.
void add_button_proc();
void modify_button_proc();
void delete_button_proc();
