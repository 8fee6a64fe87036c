// Help for generated interface code: a quick-help dialog with the help text,
// and from its More button a general help dialog at a location of a volume.
#include <cstdio>
#include <cstring>
#include <string>

#include "dtb/dt/help.h"
#include "dtb/dtb_private.h"
#include "dtb/dtb_utils.h"

namespace {

// Created on first use, reused for every later request, never destroyed.
Widget quick_help_dialog = nullptr;
Widget more_button = nullptr;
Widget more_help_dialog = nullptr;
Widget volume_info_dialog = nullptr;

constexpr size_t kVolumeLocationSize = 100;
constexpr char kHelpTitle[] = "Application Help";

bool non_empty(const char *s) { return s != nullptr && *s != '\0'; }

// "volume/location", or "" when either part is missing. Input too long for
// the buffer is cut, never overrun; a cut that loses the '/' leaves nothing
// for More to open.
void format_volume_location(const DtbHelpData &help, char (&buf)[kVolumeLocationSize]) {
  buf[0] = '\0';
  if (non_empty(help.help_volume) && non_empty(help.help_location))
    std::snprintf(buf, sizeof buf, "%s/%s", help.help_volume, help.help_location);
}

// More can open something only when the string names a volume and a location.
Boolean can_open_more(const char *volume_location) {
  return non_empty(volume_location) && std::strchr(volume_location, '/') != nullptr;
}

// A handle forgets its dialog when the dialog goes with its parent (a program
// that destroys its toplevel and builds a new one), so the next request makes
// a new one instead of using a dead widget.
void forgetCB(Widget, XtPointer handle, XtPointer) {
  Widget *h = static_cast<Widget *>(handle);
  if (h == &quick_help_dialog) more_button = nullptr;
  *h = nullptr;
}

void show_topic(Widget *dialog, const char *volume, const char *location) {
  if (*dialog != nullptr) {
    XtVaSetValues(*dialog, DtNhelpType, DtHELP_TYPE_TOPIC, DtNhelpVolume, volume, DtNlocationId, location,
                  nullptr);
  } else {
    Widget top = dtb_get_toplevel_widget();
    if (top == nullptr) return;
    Arg args[4];
    XtSetArg(args[0], XmNtitle, kHelpTitle);
    XtSetArg(args[1], DtNhelpType, DtHELP_TYPE_TOPIC);
    XtSetArg(args[2], DtNhelpVolume, volume);
    XtSetArg(args[3], DtNlocationId, location);
    *dialog = DtCreateHelpDialog(top, "GeneralHelp", args, XtNumber(args));
    if (*dialog == nullptr) return;
    XtAddCallback(*dialog, XtNdestroyCallback, forgetCB, dialog);
  }
  XtManageChild(*dialog);
}

}  // namespace

void dtb_help_dispatch(Widget, XtPointer client_data, XtPointer) {
  auto *help = static_cast<DtbHelpData *>(client_data);
  if (help == nullptr) return;
  char volume_location[kVolumeLocationSize];
  format_volume_location(*help, volume_location);

  if (quick_help_dialog != nullptr) {
    XtSetSensitive(more_button, can_open_more(volume_location));
    XtVaSetValues(quick_help_dialog, DtNhelpType, DtHELP_TYPE_DYNAMIC_STRING, DtNhelpVolume, volume_location,
                  DtNstringData, help->help_text, nullptr);
  } else {
    Widget top = dtb_get_toplevel_widget();
    if (top == nullptr) return;
    Arg args[4];
    XtSetArg(args[0], XmNtitle, kHelpTitle);
    XtSetArg(args[1], DtNhelpType, DtHELP_TYPE_DYNAMIC_STRING);
    XtSetArg(args[2], DtNstringData, help->help_text);
    XtSetArg(args[3], DtNhelpVolume, volume_location);
    quick_help_dialog = DtCreateHelpQuickDialog(top, "Help", args, XtNumber(args));
    if (quick_help_dialog == nullptr) return;
    XtAddCallback(quick_help_dialog, XtNdestroyCallback, forgetCB, &quick_help_dialog);

    more_button = DtHelpQuickDialogGetChild(quick_help_dialog, DtHELP_QUICK_MORE_BUTTON);
    XtManageChild(more_button);
    XtAddCallback(more_button, XmNactivateCallback, dtb_more_help_dispatch, quick_help_dialog);
    if (!can_open_more(volume_location)) XtSetSensitive(more_button, False);
    Widget back_button = DtHelpQuickDialogGetChild(quick_help_dialog, DtHELP_QUICK_BACK_BUTTON);
    XtAddCallback(back_button, XmNactivateCallback, dtb_help_back_hdlr, quick_help_dialog);
  }
  XtManageChild(quick_help_dialog);
}

void dtb_more_help_dispatch(Widget, XtPointer client_data, XtPointer) {
  Widget quick = static_cast<Widget>(client_data);
  if (quick == nullptr) return;
  String stored = nullptr;
  XtVaGetValues(quick, DtNhelpVolume, &stored, nullptr);
  // The dialog owns the stored string; split a copy. A volume may be a path
  // holding '/', a location id may not.
  std::string volume_location = stored != nullptr ? stored : "";
  size_t slash = volume_location.rfind('/');
  if (slash == std::string::npos) return;  // More is insensitive then; nothing to open
  std::string volume = volume_location.substr(0, slash);
  std::string location = volume_location.substr(slash + 1);
  show_topic(&more_help_dialog, volume.c_str(), location.c_str());
  XtUnmanageChild(quick);
}

void dtb_help_back_hdlr(Widget, XtPointer client_data, XtPointer) {
  Widget quick = static_cast<Widget>(client_data);
  if (quick == nullptr || more_button == nullptr) return;
  String stored = nullptr;
  XtVaGetValues(quick, DtNhelpVolume, &stored, nullptr);
  XtSetSensitive(more_button, can_open_more(stored));
}

void dtb_do_onitem_help() {
  Widget top = dtb_get_toplevel_widget();
  if (top == nullptr) return;
  Widget picked = nullptr;
  if (DtHelpReturnSelectedWidgetId(top, None, &picked) != DtHELP_SELECT_VALID) return;
  for (Widget w = picked; w != nullptr; w = XtParent(w)) {
    if (XtHasCallbacks(w, XmNhelpCallback) == XtCallbackHasSome) {
      XtCallCallbacks(w, XmNhelpCallback, nullptr);
      return;
    }
  }
}

int dtb_show_help_volume_info(char *volume_name, char *location_id) {
  show_topic(&volume_info_dialog, volume_name, location_id);
  return 0;
}

void dtb_call_help_callback(Widget, XtPointer client_data, XtPointer) {
  Widget target = static_cast<Widget>(client_data);
  if (target != nullptr) XtCallCallbacks(target, XmNhelpCallback, nullptr);
}
