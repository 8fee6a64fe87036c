// Our stand-in for the desktop help services: a quick-help dialog that shows a
// string (with More and Back buttons for the application), a general help
// dialog that shows a topic of a help volume (see help_volume.h), and a call
// that lets the user pick a widget with the pointer.
//
// Both dialogs are Motif widgets (a Form subclass inside a dialog shell; the
// argument list goes to both, so XmNtitle titles the window). Manage a dialog
// to show it, unmanage it to hide it. Their resources, set and read through
// XtSetValues/XtGetValues by these names:
//   "helpType"   int: DtHELP_TYPE_TOPIC (0) shows the topic at "locationId" of
//                the volume "helpVolume"; DtHELP_TYPE_STRING (1) and
//                DtHELP_TYPE_DYNAMIC_STRING (4) show "stringData".
//   "stringData" String, "helpVolume" String, "locationId" String: copied by
//                the dialog; a read gives the dialog's own copy.
#pragma once
#include <X11/Intrinsic.h>

#define DtNhelpType ((char *)"helpType")
#define DtCHelpType ((char *)"HelpType")
#define DtNstringData ((char *)"stringData")
#define DtCStringData ((char *)"StringData")
#define DtNhelpVolume ((char *)"helpVolume")
#define DtCHelpVolume ((char *)"HelpVolume")
#define DtNlocationId ((char *)"locationId")
#define DtCLocationId ((char *)"LocationId")
// The dialog's own texts, taken when it is created from the argument list or
// the resource files (English by default): the buttons' labels (XmString)...
#define DtNcloseLabelString ((char *)"closeLabelString")
#define DtCCloseLabelString ((char *)"CloseLabelString")
#define DtNmoreLabelString ((char *)"moreLabelString")
#define DtCMoreLabelString ((char *)"MoreLabelString")
#define DtNbackLabelString ((char *)"backLabelString")
#define DtCBackLabelString ((char *)"BackLabelString")
// ... and what it says instead of a topic (String, "%s" for the volume and
// then the location id or the help type).
#define DtNnoVolumeMessage ((char *)"noVolumeMessage")
#define DtCNoVolumeMessage ((char *)"NoVolumeMessage")
#define DtNnoTopicMessage ((char *)"noTopicMessage")
#define DtCNoTopicMessage ((char *)"NoTopicMessage")
#define DtNbadTypeMessage ((char *)"badTypeMessage")
#define DtCBadTypeMessage ((char *)"BadTypeMessage")

enum {
  DtHELP_TYPE_TOPIC = 0,
  DtHELP_TYPE_STRING = 1,
  DtHELP_TYPE_DYNAMIC_STRING = 4,
};

// Children of the quick-help dialog, for DtHelpQuickDialogGetChild.
enum {
  DtHELP_QUICK_CLOSE_BUTTON = 1,
  DtHELP_QUICK_SEPARATOR = 4,
  DtHELP_QUICK_MORE_BUTTON = 5,  // unmanaged until the application manages it
  DtHELP_QUICK_BACK_BUTTON = 6,  // goes back to what the dialog showed before
};

// Answers of DtHelpReturnSelectedWidgetId.
enum {
  DtHELP_SELECT_VALID = 0,
  DtHELP_SELECT_ABORT = 1,
  DtHELP_SELECT_INVALID = 2,
  DtHELP_SELECT_ERROR = 3,
};

Widget DtCreateHelpQuickDialog(Widget parent, const char *name, ArgList args, Cardinal num_args);
// The child by number, or null for a number the dialog does not have.
Widget DtHelpQuickDialogGetChild(Widget quick_dialog, int child);
Widget DtCreateHelpDialog(Widget parent, const char *name, ArgList args, Cardinal num_args);
// Lets the user click a widget of the application (Escape or a click outside
// it cancels); cursor None gives a question-mark pointer.
int DtHelpReturnSelectedWidgetId(Widget parent, Cursor cursor, Widget *widget);

// The text a help dialog shows at the moment (in the locale's encoding), and
// the title of its topic ("" for string help). Null for other widgets.
char *DtbHelpDialogGetText(Widget help_dialog);  // XtFree the result
char *DtbHelpDialogGetTopicTitle(Widget help_dialog);  // XtFree the result
