// Start-up of the editor: the project initializer, the locale gate, and the
// ways out of the event loop.
#pragma once
#include <nl_types.h>
#include <X11/Intrinsic.h>

// The message catalog "glosset"; (nl_catd)-1 when it could not be opened, in
// which case every window text falls back to its built-in default.
extern nl_catd Dtb_project_catd;

// Application resources: only the session file named by "-session".
struct DtbAppResourceRec {
  String session_file;
};
extern DtbAppResourceRec dtb_app_resource_rec;
extern XrmOptionDescRec optionDescList[1];
extern XtResource resources[1];

// Open the catalog, save the toplevel and the command, prepare the records and
// build the main window inside `toplevel` (the locale gate runs meanwhile).
// Return 0, or -1 when `toplevel` is null.
int dtb_glosset_initialize(int *argc_in_out, char ***argv_in_out, Widget toplevel);

// 1 when LANG names one of the five accepted Korean locales (LC_CTYPE is then
// set to it); 0 after printing the refusal on standard error.
int KoLocale();

// Creation hook of the main window's shell: the locale gate; a refused locale
// ends the process with status 0. An accepted one also selects the input
// method.
void gl_main_mainwindow_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
// Creation hook of the File menu: Close ends the program.
void gl_main_Quit_menu_CB1(Widget widget, XtPointer client_data, XtPointer call_data);
void quit_proc_CB(Widget widget, XtPointer client_data, XtPointer call_data);

// Environment preparation before the toolkit starts: a default catalog search
// path when NLSPATH is unset, and the per-locale resource file of class
// Glosset through XFILESEARCHPATH when that is unset.
void glosset_prepare_environment();

// Settings of the toplevel beyond the generated ones: closing the window
// through the window manager ends the program as File > Close does, and the
// title reaches the window manager in the locale's encoding.
void glosset_prepare_toplevel(Widget toplevel);

// After the locale is set: the input method named by XMODIFIERS (a Korean
// input-method server), or Xlib's own when none answers. Motif's inputMethod
// resource, when given, still overrides both.
void glosset_select_input_method(Display *display);
// The input-method server in use ("nabi"), or "" for Xlib's own.
const char *glosset_input_method_name();

// The window manager's view of a shell: its title and icon name also as UTF-8
// (_NET_WM_NAME, _NET_WM_ICON_NAME), set whenever the shell is mapped; and,
// with `icon`, glosset's icon from the hicolor theme as its icon pixmap.
void glosset_identify_window(Widget shell, bool icon);
