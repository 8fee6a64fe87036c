// The help dialogs of our desktop-help layer: one widget class, a Form
// subclass, that shows either a string or a topic of a help volume.
#include <cstdio>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <X11/cursorfont.h>
#include <Xm/BulletinBP.h>
#include <Xm/DialogS.h>
#include <Xm/FormP.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Separator.h>
#include <Xm/Text.h>
#include <Xm/XmP.h>

#include "dtb/dt/help.h"
#include "dtb/dt/help_volume.h"
#include "dtb/dtb_private.h"

namespace {

struct HelpDialogPart {
  int help_type;
  String string_data;  // the three strings are the dialog's own copies
  String help_volume;
  String location_id;
  Boolean quick;  // a quick-help dialog (Close, More, Back) rather than a general one
  // From the caller or the resources, fixed at creation. The labels serve
  // creation only; the messages are the dialog's own copies, with "%s" for
  // the volume and then the location id (or the help type).
  XmString close_label, more_label, back_label;
  String no_volume_message, no_topic_message, bad_type_message;
  Widget title_label;
  Widget text;
  Widget separator;
  Widget close_button;
  Widget more_button;
  Widget back_button;
};

struct HelpDialogRec {
  CorePart core;
  CompositePart composite;
  ConstraintPart constraint;
  XmManagerPart manager;
  XmBulletinBoardPart bulletin_board;
  XmFormPart form;
  HelpDialogPart help;
};
using HelpDialogWidget = HelpDialogRec *;

struct HelpDialogClassPart {
  XtPointer extension;
};

struct HelpDialogClassRec {
  CoreClassPart core_class;
  CompositeClassPart composite_class;
  ConstraintClassPart constraint_class;
  XmManagerClassPart manager_class;
  XmBulletinBoardClassPart bulletin_board_class;
  XmFormClassPart form_class;
  HelpDialogClassPart help_class;
};

constexpr char kQuickResource[] = "dtbQuickHelp";
constexpr size_t kMaxHistory = 32;  // Back goes at most this far

// What a dialog shows, for the Back button's history.
struct Content {
  int help_type;
  std::optional<std::string> string_data, help_volume, location_id;
  bool operator==(const Content &) const = default;
};

// State that does not fit Xt's plain-memory instance record, by widget.
struct SideState {
  std::vector<Content> history;
  std::string title;
  bool restoring = false;
};
std::map<Widget, SideState> g_side;

std::optional<std::string> opt(String s) {
  return s != nullptr ? std::optional<std::string>(s) : std::nullopt;
}

Content content_of(HelpDialogWidget hw) {
  return {hw->help.help_type, opt(hw->help.string_data), opt(hw->help.help_volume), opt(hw->help.location_id)};
}

// The message with each "%s" replaced by the next of the texts. Messages come
// from resource files, so they are no format strings for printf.
std::string fill_message(const char *message, std::initializer_list<std::string_view> texts) {
  std::string_view templ = message != nullptr ? message : "";
  std::string out;
  auto next = texts.begin();
  for (size_t i = 0; i < templ.size(); ++i) {
    if (templ.substr(i, 2) == "%s" && next != texts.end()) {
      out += *next++;
      ++i;
    } else {
      out += templ[i];
    }
  }
  return out;
}

// Works out the title and text of what the dialog is set to show.
void render(HelpDialogWidget hw, std::string *title, std::string *body) {
  title->clear();
  switch (hw->help.help_type) {
    case DtHELP_TYPE_STRING:
    case DtHELP_TYPE_DYNAMIC_STRING:
      *body = hw->help.string_data != nullptr ? hw->help.string_data : "";
      return;
    case DtHELP_TYPE_TOPIC: {
      std::string volume = hw->help.help_volume != nullptr ? hw->help.help_volume : "";
      std::string location = hw->help.location_id != nullptr ? hw->help.location_id : "";
      std::string path = dt::find_help_volume(volume);
      std::optional<dt::HelpVolume> loaded;
      if (!path.empty()) loaded = dt::load_help_volume(path);
      if (!loaded) {
        *body = fill_message(hw->help.no_volume_message, {volume});
        return;
      }
      const dt::HelpTopic *topic = loaded->find(location);
      if (topic == nullptr) {
        *body = fill_message(hw->help.no_topic_message, {volume, location});
        return;
      }
      *title = dt::utf8_to_locale(topic->title);
      *body = dt::utf8_to_locale(topic->body);
      return;
    }
    default:
      *body = fill_message(hw->help.bad_type_message, {std::to_string(hw->help.help_type)});
      return;
  }
}

void refresh(HelpDialogWidget hw) {
  std::string title, body;
  render(hw, &title, &body);
  SideState &side = g_side[reinterpret_cast<Widget>(hw)];
  side.title = title;
  XmTextSetString(hw->help.text, const_cast<char *>(body.c_str()));
  XmTextShowPosition(hw->help.text, 0);
  if (hw->help.title_label != nullptr) {
    dtb::UniqueXmString label = dtb::make_xmstring(title.c_str());
    XtVaSetValues(hw->help.title_label, XmNlabelString, label.get(), nullptr);
  }
  if (hw->help.back_button != nullptr) XtSetSensitive(hw->help.back_button, !side.history.empty());
}

String copy_string(String s) { return s != nullptr ? XtNewString(s) : nullptr; }

void closeCB(Widget, XtPointer client_data, XtPointer) { XtUnmanageChild(static_cast<Widget>(client_data)); }

void backCB(Widget, XtPointer client_data, XtPointer) {
  Widget w = static_cast<Widget>(client_data);
  SideState &side = g_side[w];
  if (side.history.empty()) return;
  Content previous = std::move(side.history.back());
  side.history.pop_back();
  side.restoring = true;
  XtVaSetValues(w, DtNhelpType, previous.help_type, DtNstringData,
                previous.string_data ? previous.string_data->c_str() : nullptr, DtNhelpVolume,
                previous.help_volume ? previous.help_volume->c_str() : nullptr, DtNlocationId,
                previous.location_id ? previous.location_id->c_str() : nullptr, nullptr);
  side.restoring = false;
}

Widget make_button(Widget parent, const char *name, XmString label) {
  return XtVaCreateManagedWidget(name, xmPushButtonWidgetClass, parent, XmNlabelString, label, nullptr);
}

constexpr String HelpDialogPart::*kMessages[] = {&HelpDialogPart::no_volume_message, &HelpDialogPart::no_topic_message,
                                                 &HelpDialogPart::bad_type_message};

void Initialize(Widget, Widget new_w, ArgList, Cardinal *) {
  auto hw = reinterpret_cast<HelpDialogWidget>(new_w);
  HelpDialogPart &h = hw->help;
  h.string_data = copy_string(h.string_data);
  h.help_volume = copy_string(h.help_volume);
  h.location_id = copy_string(h.location_id);
  for (auto field : kMessages) h.*field = copy_string(h.*field);
  h.title_label = h.text = h.separator = h.close_button = h.more_button = h.back_button = nullptr;
  g_side.emplace(new_w, SideState{});

  Widget buttons = XtVaCreateManagedWidget("buttons", xmRowColumnWidgetClass, new_w, XmNorientation, XmHORIZONTAL,
                                           XmNpacking, XmPACK_TIGHT, XmNbottomAttachment, XmATTACH_FORM,
                                           XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM,
                                           nullptr);
  if (h.quick) {
    h.close_button = make_button(buttons, "closeButton", h.close_label);
    h.more_button = make_button(buttons, "moreButton", h.more_label);
    XtUnmanageChild(h.more_button);  // the application decides whether there is more
    h.back_button = make_button(buttons, "backButton", h.back_label);
  } else {
    h.back_button = make_button(buttons, "backButton", h.back_label);
    h.close_button = make_button(buttons, "closeButton", h.close_label);
  }
  h.close_label = h.more_label = h.back_label = nullptr;  // the buttons have their own copies
  XtAddCallback(h.close_button, XmNactivateCallback, closeCB, new_w);
  XtAddCallback(h.back_button, XmNactivateCallback, backCB, new_w);

  h.separator = XtVaCreateManagedWidget("separator", xmSeparatorWidgetClass, new_w, XmNleftAttachment,
                                        XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, XmNbottomAttachment,
                                        XmATTACH_WIDGET, XmNbottomWidget, buttons, nullptr);
  if (!h.quick)
    h.title_label = XtVaCreateManagedWidget("topicTitle", xmLabelWidgetClass, new_w, XmNtopAttachment,
                                            XmATTACH_FORM, XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment,
                                            XmATTACH_FORM, XmNalignment, XmALIGNMENT_BEGINNING, nullptr);
  Arg args[9];
  Cardinal n = 0;
  XtSetArg(args[n], XmNeditable, False), ++n;
  XtSetArg(args[n], XmNresizeWidth, False), ++n;  // long lines wrap; they do not widen the dialog
  XtSetArg(args[n], XmNeditMode, XmMULTI_LINE_EDIT), ++n;
  XtSetArg(args[n], XmNwordWrap, True), ++n;
  XtSetArg(args[n], XmNscrollHorizontal, False), ++n;
  XtSetArg(args[n], XmNcursorPositionVisible, False), ++n;
  XtSetArg(args[n], XmNrows, h.quick ? 8 : 16), ++n;
  // A width in pixels: columns go by the widest glyph of the font, which with
  // Hangul fonts makes a dialog as wide as the screen.
  XtSetArg(args[n], XmNwidth, 480), ++n;  // the lines of a help volume fit
  h.text = XmCreateScrolledText(new_w, const_cast<char *>("helpText"), args, n);
  XtVaSetValues(XtParent(h.text), XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM,
                XmNbottomAttachment, XmATTACH_WIDGET, XmNbottomWidget, h.separator, XmNtopAttachment,
                h.title_label != nullptr ? XmATTACH_WIDGET : XmATTACH_FORM, XmNtopWidget, h.title_label, nullptr);
  XtManageChild(h.text);
  refresh(hw);
}

Boolean SetValues(Widget old_w, Widget, Widget new_w, ArgList, Cardinal *) {
  auto old_hw = reinterpret_cast<HelpDialogWidget>(old_w);
  auto hw = reinterpret_cast<HelpDialogWidget>(new_w);
  Content before = content_of(old_hw);
  // Xt stored the caller's pointers; the dialog keeps copies of its own.
  for (auto field : {&HelpDialogPart::string_data, &HelpDialogPart::help_volume, &HelpDialogPart::location_id}) {
    if (hw->help.*field == old_hw->help.*field) continue;
    hw->help.*field = copy_string(hw->help.*field);
    XtFree(old_hw->help.*field);
  }
  hw->help.quick = old_hw->help.quick;  // fixed at creation
  for (auto field : kMessages) hw->help.*field = old_hw->help.*field;
  Content after = content_of(hw);
  if (after == before) return False;
  SideState &side = g_side[new_w];
  if (!side.restoring) {
    side.history.push_back(std::move(before));
    if (side.history.size() > kMaxHistory) side.history.erase(side.history.begin());
  }
  refresh(hw);
  return False;
}

void Destroy(Widget w) {
  auto hw = reinterpret_cast<HelpDialogWidget>(w);
  XtFree(hw->help.string_data);
  XtFree(hw->help.help_volume);
  XtFree(hw->help.location_id);
  for (auto field : kMessages) XtFree(hw->help.*field);
  g_side.erase(w);
}

#define HELP_OFFSET(field) XtOffsetOf(HelpDialogRec, help.field)
XtResource resources[] = {
    {DtNhelpType, DtCHelpType, const_cast<char *>(XmRInt), sizeof(int),
     HELP_OFFSET(help_type), const_cast<char *>(XmRImmediate), reinterpret_cast<XtPointer>(DtHELP_TYPE_TOPIC)},
    {DtNstringData, DtCStringData, const_cast<char *>(XmRString),
     sizeof(String), HELP_OFFSET(string_data), const_cast<char *>(XmRImmediate), nullptr},
    {DtNhelpVolume, DtCHelpVolume, const_cast<char *>(XmRString),
     sizeof(String), HELP_OFFSET(help_volume), const_cast<char *>(XmRImmediate), nullptr},
    {DtNlocationId, DtCLocationId, const_cast<char *>(XmRString),
     sizeof(String), HELP_OFFSET(location_id), const_cast<char *>(XmRImmediate), nullptr},
    {const_cast<char *>(kQuickResource), const_cast<char *>("DtbQuickHelp"), const_cast<char *>(XmRBoolean),
     sizeof(Boolean), HELP_OFFSET(quick), const_cast<char *>(XmRImmediate), reinterpret_cast<XtPointer>(False)},
    // Texts in the user's language come from the caller or the resource files.
    {DtNcloseLabelString, DtCCloseLabelString, const_cast<char *>(XmRXmString), sizeof(XmString),
     HELP_OFFSET(close_label), const_cast<char *>(XmRString), const_cast<char *>("Close")},
    {DtNmoreLabelString, DtCMoreLabelString, const_cast<char *>(XmRXmString), sizeof(XmString),
     HELP_OFFSET(more_label), const_cast<char *>(XmRString), const_cast<char *>("More...")},
    {DtNbackLabelString, DtCBackLabelString, const_cast<char *>(XmRXmString), sizeof(XmString),
     HELP_OFFSET(back_label), const_cast<char *>(XmRString), const_cast<char *>("Back")},
    {DtNnoVolumeMessage, DtCNoVolumeMessage, const_cast<char *>(XmRString), sizeof(String),
     HELP_OFFSET(no_volume_message), const_cast<char *>(XmRImmediate),
     const_cast<char *>("The help volume \"%s\" was not found.")},
    {DtNnoTopicMessage, DtCNoTopicMessage, const_cast<char *>(XmRString), sizeof(String),
     HELP_OFFSET(no_topic_message), const_cast<char *>(XmRImmediate),
     const_cast<char *>("The help volume \"%s\" has no topic \"%s\".")},
    {DtNbadTypeMessage, DtCBadTypeMessage, const_cast<char *>(XmRString), sizeof(String),
     HELP_OFFSET(bad_type_message), const_cast<char *>(XmRImmediate),
     const_cast<char *>("Help of type %s cannot be shown.")},
};
#undef HELP_OFFSET

HelpDialogClassRec helpDialogClassRec = {
    {
        // core
        reinterpret_cast<WidgetClass>(&xmFormClassRec), const_cast<char *>("DtHelpDialog"), sizeof(HelpDialogRec),
        nullptr, nullptr, False, Initialize, nullptr, XtInheritRealize, nullptr, 0, resources,
        XtNumber(resources), NULLQUARK, True, XtExposeCompressMaximal, True, False, Destroy, XtInheritResize,
        XtInheritExpose, SetValues, nullptr, XtInheritSetValuesAlmost, nullptr, XtInheritAcceptFocus, XtVersion,
        nullptr, XtInheritTranslations, XtInheritQueryGeometry, nullptr, nullptr,
    },
    {XtInheritGeometryManager, XtInheritChangeManaged, XtInheritInsertChild, XtInheritDeleteChild, nullptr},
    {nullptr, 0, sizeof(XmFormConstraintRec), nullptr, nullptr, nullptr, nullptr},
    {XtInheritTranslations, nullptr, 0, nullptr, 0, XmInheritParentProcess, nullptr},
    {False, XmInheritGeoMatrixCreate, XmInheritFocusMovedProc, nullptr},
    {nullptr},
    {nullptr},
};
WidgetClass helpDialogWidgetClass = reinterpret_cast<WidgetClass>(&helpDialogClassRec);

HelpDialogWidget as_help_dialog(Widget w) {
  if (w == nullptr || !XtIsSubclass(w, helpDialogWidgetClass)) return nullptr;
  return reinterpret_cast<HelpDialogWidget>(w);
}

Widget create_dialog(Widget parent, const char *name, ArgList args, Cardinal num_args, bool quick) {
  if (parent == nullptr || name == nullptr) return nullptr;
  std::vector<Arg> shell_args(args, args + num_args);
  shell_args.push_back({const_cast<char *>(XmNallowShellResize), True});
  shell_args.push_back({const_cast<char *>(XmNdeleteResponse), XmUNMAP});  // closing only hides it
  std::string shell_name = std::string(name) + "_popup";
  Widget shell = XtCreatePopupShell(shell_name.c_str(), xmDialogShellWidgetClass, parent, shell_args.data(),
                                    static_cast<Cardinal>(shell_args.size()));
  std::vector<Arg> dialog_args(args, args + num_args);
  dialog_args.push_back({const_cast<char *>(kQuickResource), quick});
  Widget dialog = XtCreateWidget(name, helpDialogWidgetClass, shell, dialog_args.data(),
                                 static_cast<Cardinal>(dialog_args.size()));
  // Escape closes a help window, as its Close button does.
  if (HelpDialogWidget hw = as_help_dialog(dialog))
    XtVaSetValues(dialog, XmNcancelButton, hw->help.close_button, nullptr);
  return dialog;
}

}  // namespace

Widget DtCreateHelpQuickDialog(Widget parent, const char *name, ArgList args, Cardinal num_args) {
  return create_dialog(parent, name, args, num_args, true);
}

Widget DtCreateHelpDialog(Widget parent, const char *name, ArgList args, Cardinal num_args) {
  return create_dialog(parent, name, args, num_args, false);
}

Widget DtHelpQuickDialogGetChild(Widget quick_dialog, int child) {
  HelpDialogWidget hw = as_help_dialog(quick_dialog);
  if (hw == nullptr || !hw->help.quick) return nullptr;
  switch (child) {
    case DtHELP_QUICK_CLOSE_BUTTON: return hw->help.close_button;
    case DtHELP_QUICK_SEPARATOR: return hw->help.separator;
    case DtHELP_QUICK_MORE_BUTTON: return hw->help.more_button;
    case DtHELP_QUICK_BACK_BUTTON: return hw->help.back_button;
    default: return nullptr;
  }
}

int DtHelpReturnSelectedWidgetId(Widget parent, Cursor cursor, Widget *widget) {
  if (parent == nullptr || widget == nullptr || !XtIsRealized(parent)) return DtHELP_SELECT_ERROR;
  *widget = nullptr;
  Display *dpy = XtDisplay(parent);
  Cursor own = cursor == None ? XCreateFontCursor(dpy, XC_question_arrow) : None;
  Widget picked = XmTrackingLocate(parent, cursor == None ? own : cursor, False);
  if (own != None) XFreeCursor(dpy, own);
  if (picked == nullptr) return DtHELP_SELECT_ABORT;
  *widget = picked;
  return DtHELP_SELECT_VALID;
}

char *DtbHelpDialogGetText(Widget help_dialog) {
  HelpDialogWidget hw = as_help_dialog(help_dialog);
  return hw != nullptr ? XmTextGetString(hw->help.text) : nullptr;
}

char *DtbHelpDialogGetTopicTitle(Widget help_dialog) {
  if (as_help_dialog(help_dialog) == nullptr) return nullptr;
  return XtNewString(g_side[help_dialog].title.c_str());
}
