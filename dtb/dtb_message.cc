// Message dialogs built from a message record, shown non-modally or modally
// with the pressed button's answer code.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>

#include <Xm/MessageB.h>
#include <Xm/PushB.h>

#include "dtb/dtb_private.h"
#include "dtb/dtb_utils.h"

namespace {

// Identifiers held in XmNuserData by the extra action buttons.
constexpr intptr_t kAction2Id = 1;
constexpr intptr_t kAction3Id = 2;

unsigned char default_button_type(DtbDefaultButton which) {
  switch (which) {
    case DTB_DEFAULT_ACTION1: return XmDIALOG_OK_BUTTON;
    case DTB_DEFAULT_CANCEL: return XmDIALOG_CANCEL_BUTTON;
    default: return XmDIALOG_NONE;  // action buttons 2 and 3 are made default by hand
  }
}

void unmanage_child(Widget msg_dlg, unsigned char which) {
  if (Widget child = XmMessageBoxGetChild(msg_dlg, which)) XtUnmanageChild(child);
}

void add_action_button(Widget msg_dlg, const char *name, XmString label, intptr_t id) {
  XtVaCreateManagedWidget(name, xmPushButtonWidgetClass, msg_dlg, XmNlabelString, label, XmNuserData,
                          reinterpret_cast<XtPointer>(id), nullptr);
}

// Escape runs the box's cancel callbacks, also when its Cancel button is
// hidden. Without a Cancel button it answers as the last button shown
// instead: the "no" of a yes/no question, the only button of a notice. Null
// when the record shows Cancel (or no button at all).
Widget escape_button(Widget msg_dlg, const DtbMessageRecord *mbr) {
  if (mbr->show_cancel) return nullptr;
  if (Widget button = dtb_MessageBoxGetActionButton(msg_dlg, kAction3Id)) return button;
  if (Widget button = dtb_MessageBoxGetActionButton(msg_dlg, kAction2Id)) return button;
  return mbr->action1_label != nullptr ? XmMessageBoxGetChild(msg_dlg, XmDIALOG_OK_BUTTON) : nullptr;
}

// Escape in a box without Cancel: a press of the button that stands in for it.
void escapeCB(Widget, XtPointer button, XtPointer call_data) {
  XmPushButtonCallbackStruct press{};
  press.reason = XmCR_ACTIVATE;
  press.event = call_data != nullptr ? static_cast<XmAnyCallbackStruct *>(call_data)->event : nullptr;
  press.click_count = 1;
  XtCallCallbacks(static_cast<Widget>(button), XmNactivateCallback, &press);
}

// A click on Help takes the keyboard focus, and a focused push button becomes
// the box's default for Return. Giving the focus back to the default button
// keeps Return on the default answer.
void keep_defaultCB(Widget, XtPointer client_data, XtPointer) {
  Widget msg_dlg = static_cast<Widget>(client_data);
  Widget default_button = nullptr;
  XtVaGetValues(msg_dlg, XmNdefaultButton, &default_button, nullptr);
  if (default_button != nullptr && XtIsManaged(default_button)) XmProcessTraversal(default_button, XmTRAVERSE_CURRENT);
}

// The private copy of a caller's help that the dialog owns until it is destroyed.
DtbHelpData *copy_help(const DtbHelpData *help) {
  if (help == nullptr) return nullptr;
  auto *copy = static_cast<DtbHelpData *>(std::calloc(1, sizeof(DtbHelpData)));
  if (copy == nullptr) return nullptr;
  copy->help_text = help->help_text != nullptr ? strdup(help->help_text) : nullptr;
  copy->help_volume = help->help_volume != nullptr ? strdup(help->help_volume) : nullptr;
  copy->help_location = help->help_location != nullptr ? strdup(help->help_location) : nullptr;
  return copy;
}

void free_help(DtbHelpData *help) {
  if (help == nullptr) return;
  std::free(help->help_text);
  std::free(help->help_volume);
  std::free(help->help_location);
  std::free(help);
}

void free_helpCB(Widget, XtPointer help_copy, XtPointer) { free_help(static_cast<DtbHelpData *>(help_copy)); }

// Wires the Help button to the help dispatch when there is help to show.
void attach_help(Widget msg_dlg, DtbMessageRecord *mbr, DtbHelpData *help_copy) {
  if (!mbr->show_help) return;
  XtPointer help = help_copy != nullptr                 ? static_cast<XtPointer>(help_copy)
                   : mbr->help.help_text != nullptr ? static_cast<XtPointer>(&mbr->help)
                                                        : nullptr;
  if (help != nullptr) XtAddCallback(msg_dlg, XmNhelpCallback, dtb_help_dispatch, help);
}

void show_dialog(Widget msg_dlg) {
  XtManageChild(msg_dlg);
  Widget shell = XtParent(msg_dlg);
  if (XtIsRealized(shell)) XRaiseWindow(XtDisplay(shell), XtWindow(shell));
}

// What a modal wait watches. The answer comes first: the buttons hold its
// address in XmNuserData and modal_dlgCB writes through it.
struct ModalWait {
  int answer = DTB_MODAL_NONE;
  bool gone = false;
};

// The dialog went away without an answer (closed by the window manager, or its
// parent destroyed): that is a Cancel, and the wait must end.
void modal_goneCB(Widget, XtPointer client_data, XtPointer) {
  auto *wait = static_cast<ModalWait *>(client_data);
  wait->gone = true;
  if (wait->answer == DTB_MODAL_NONE) wait->answer = DTB_MODAL_CANCEL;
}

// Shells whose destruction waits for the toolkit to leave the code that popped
// them down, with the timer that will do it.
std::map<Widget, XtIntervalId> g_pending_destroys;

void destroy_nowCB(XtPointer client_data, XtIntervalId *) {
  Widget shell = static_cast<Widget>(client_data);
  g_pending_destroys.erase(shell);
  XtDestroyWidget(shell);
}

// The shell went away by other means first: its timer must not fire on it.
void forget_pending_destroyCB(Widget shell, XtPointer, XtPointer) {
  auto it = g_pending_destroys.find(shell);
  if (it == g_pending_destroys.end()) return;
  XtRemoveTimeOut(it->second);
  g_pending_destroys.erase(it);
}

}  // namespace

void destroyCB(Widget widget, XtPointer, XtPointer) {
  // A popdown may run in the middle of the dialog's own unmanaging, and outside
  // any event dispatch (from a timer, or from code before the main loop) the
  // toolkit would destroy at once, under the caller's feet. Destroy from the
  // event loop instead, as soon as it runs again.
  if (g_pending_destroys.count(widget) != 0) return;
  XtAddCallback(widget, XtNdestroyCallback, forget_pending_destroyCB, nullptr);
  g_pending_destroys[widget] = XtAppAddTimeOut(XtWidgetToApplicationContext(widget), 0, destroy_nowCB, widget);
}

void modal_dlgCB(Widget widget, XtPointer client_data, XtPointer) {
  auto *answer = static_cast<int *>(dtb::user_data_of(widget, nullptr));
  if (answer != nullptr) *answer = static_cast<int>(reinterpret_cast<intptr_t>(client_data));
}

Widget dtb_MessageBoxGetActionButton(Widget msg_dlg, int which_btn) {
  if (msg_dlg == nullptr) return nullptr;
  WidgetList children = nullptr;
  Cardinal num_children = 0;
  XtVaGetValues(msg_dlg, XmNchildren, &children, XmNnumChildren, &num_children, nullptr);
  for (Cardinal i = 0; i < num_children; ++i) {
    intptr_t id = reinterpret_cast<intptr_t>(dtb::user_data_of(children[i], reinterpret_cast<XtPointer>(-1)));
    if (id == which_btn) return children[i];
  }
  return nullptr;
}

Widget dtb_create_message_dlg(Widget parent, DtbMessageRecord *mbr, XmString override_msg,
                              DtbHelpData *override_help) {
  if (parent == nullptr || mbr == nullptr) return nullptr;
  Widget shell = dtb::find_shell(parent);
  if (shell == nullptr) return nullptr;
  Widget msg_dlg = XmCreateMessageDialog(shell, const_cast<char *>("dtb_msg_dlg"), nullptr, 0);
  if (msg_dlg == nullptr) return nullptr;

  if (!mbr->show_cancel) unmanage_child(msg_dlg, XmDIALOG_CANCEL_BUTTON);
  if (!mbr->show_help) unmanage_child(msg_dlg, XmDIALOG_HELP_BUTTON);
  if (mbr->action1_label == nullptr) unmanage_child(msg_dlg, XmDIALOG_OK_BUTTON);
  if (mbr->action2_label != nullptr) add_action_button(msg_dlg, "action2_button", mbr->action2_label, kAction2Id);
  if (mbr->action3_label != nullptr) add_action_button(msg_dlg, "action3_button", mbr->action3_label, kAction3Id);
  if (Widget button = escape_button(msg_dlg, mbr)) XtAddCallback(msg_dlg, XmNcancelCallback, escapeCB, button);

  if (mbr->action1_label != nullptr)
    XtVaSetValues(msg_dlg, XmNdialogType, mbr->dialog_type, XmNokLabelString, mbr->action1_label, nullptr);
  else
    XtVaSetValues(msg_dlg, XmNdialogType, mbr->dialog_type, nullptr);

  XmString message = override_msg != nullptr ? override_msg : mbr->message;
  if (message != nullptr) XtVaSetValues(msg_dlg, XmNmessageString, message, nullptr);

  if (mbr->title != nullptr) {
    XtVaSetValues(msg_dlg, XmNdialogTitle, mbr->title, nullptr);
  } else {
    dtb::UniqueXmString blank = dtb::make_xmstring(" ");
    XtVaSetValues(msg_dlg, XmNdialogTitle, blank.get(), nullptr);
  }

  XtVaSetValues(msg_dlg, XmNdefaultButtonType, default_button_type(mbr->default_button), nullptr);
  if (mbr->default_button == DTB_DEFAULT_ACTION2 || mbr->default_button == DTB_DEFAULT_ACTION3) {
    int id = mbr->default_button == DTB_DEFAULT_ACTION2 ? kAction2Id : kAction3Id;
    if (Widget button = dtb_MessageBoxGetActionButton(msg_dlg, id)) {
      XtVaSetValues(button, XmNdefaultButtonShadowThickness, 2, XmNshowAsDefault, 1, nullptr);
      XtVaSetValues(msg_dlg, XmNdefaultButton, button, nullptr);
    }
  }

  if (Widget help = XmMessageBoxGetChild(msg_dlg, XmDIALOG_HELP_BUTTON); help != nullptr && mbr->show_help)
    XtAddCallback(help, XmNactivateCallback, keep_defaultCB, msg_dlg);

  // A window-manager close pops the dialog down like a button does, so that
  // the clean-up below always runs (and a modal wait sees the dialog go).
  Widget dialog_shell = XtParent(msg_dlg);
  XtVaSetValues(dialog_shell, XmNdeleteResponse, XmUNMAP, nullptr);
  XtAddCallback(dialog_shell, XtNpopdownCallback, destroyCB, nullptr);
  // The help copy lives as long as the dialog, however the dialog goes: also
  // when its parent is destroyed while it is shown, and nothing pops it down.
  if (override_help != nullptr) XtAddCallback(dialog_shell, XtNdestroyCallback, free_helpCB, override_help);
  return msg_dlg;
}

void dtb_show_message(Widget parent, DtbMessageRecord *mbr, XmString override_msg, DtbHelpData *override_help) {
  if (mbr == nullptr) return;
  DtbHelpData *help_copy = copy_help(override_help);
  Widget msg_dlg = dtb_create_message_dlg(parent, mbr, override_msg, help_copy);
  if (msg_dlg == nullptr) {
    free_help(help_copy);  // no dialog took it over
    return;
  }
  if (mbr->action1_callback != nullptr) XtAddCallback(msg_dlg, XmNokCallback, mbr->action1_callback, nullptr);
  if (mbr->cancel_callback != nullptr) {
    // Escape is the record's Cancel then, and nothing else besides.
    if (Widget button = escape_button(msg_dlg, mbr)) XtRemoveCallback(msg_dlg, XmNcancelCallback, escapeCB, button);
    XtAddCallback(msg_dlg, XmNcancelCallback, mbr->cancel_callback, nullptr);
  }
  Widget action2 = dtb_MessageBoxGetActionButton(msg_dlg, kAction2Id);
  if (mbr->action2_callback != nullptr && action2 != nullptr)
    XtAddCallback(action2, XmNactivateCallback, mbr->action2_callback, nullptr);
  Widget action3 = dtb_MessageBoxGetActionButton(msg_dlg, kAction3Id);
  if (mbr->action3_callback != nullptr && action3 != nullptr)
    XtAddCallback(action3, XmNactivateCallback, mbr->action3_callback, nullptr);
  attach_help(msg_dlg, mbr, help_copy);
  show_dialog(msg_dlg);
}

DtbModalAnswer dtb_show_modal_message(Widget parent, DtbMessageRecord *mbr, XmString override_msg,
                                      DtbHelpData *override_help, Widget *modal_dlg_out) {
  if (mbr == nullptr) return DTB_MODAL_NONE;
  ModalWait wait;
  DtbHelpData *help_copy = copy_help(override_help);
  Widget msg_dlg = dtb_create_message_dlg(parent, mbr, override_msg, help_copy);
  if (msg_dlg == nullptr) {
    free_help(help_copy);
    return DTB_MODAL_NONE;
  }

  XtCallbackRec ok_list[] = {{modal_dlgCB, reinterpret_cast<XtPointer>(intptr_t{DTB_MODAL_ACTION1})},
                             {nullptr, nullptr}};
  // Cancel answers Cancel; Escape without a Cancel button answers as its stand-in.
  Widget escape = escape_button(msg_dlg, mbr);
  XtCallbackRec cancel_list[] = {escape != nullptr ? XtCallbackRec{escapeCB, escape}
                                                   : XtCallbackRec{modal_dlgCB, reinterpret_cast<XtPointer>(
                                                                                    intptr_t{DTB_MODAL_CANCEL})},
                                 {nullptr, nullptr}};
  XtVaSetValues(msg_dlg, XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL, XmNokCallback, ok_list,
                XmNcancelCallback, cancel_list, XmNuserData, &wait.answer, nullptr);
  // Action button 3 is looked up before action button 2's id gives way to the address.
  struct Extra {
    Widget button;
    intptr_t id;
    XtPointer answer;
  } extras[] = {{dtb_MessageBoxGetActionButton(msg_dlg, kAction2Id), kAction2Id,
                 reinterpret_cast<XtPointer>(intptr_t{DTB_MODAL_ACTION2})},
                {dtb_MessageBoxGetActionButton(msg_dlg, kAction3Id), kAction3Id,
                 reinterpret_cast<XtPointer>(intptr_t{DTB_MODAL_ACTION3})}};
  for (const Extra &e : extras) {
    if (e.button == nullptr) continue;
    XtVaSetValues(e.button, XmNuserData, &wait.answer, nullptr);
    XtAddCallback(e.button, XmNactivateCallback, modal_dlgCB, e.answer);
  }
  XtAddCallback(msg_dlg, XmNdestroyCallback, modal_goneCB, &wait);
  attach_help(msg_dlg, mbr, help_copy);
  show_dialog(msg_dlg);

  XtAppContext app = XtDisplayToApplicationContext(XtDisplay(msg_dlg));
  while (wait.answer == DTB_MODAL_NONE) XtAppProcessEvent(app, XtIMAll);

  if (!wait.gone) {
    // Nothing may reach the waiting frame once it has returned: the box and
    // the extra buttons let go of the answer's address, and the buttons take
    // back the ids they are found by.
    XtRemoveCallback(msg_dlg, XmNdestroyCallback, modal_goneCB, &wait);
    XtVaSetValues(msg_dlg, XmNuserData, nullptr, nullptr);
    for (const Extra &e : extras) {
      if (e.button == nullptr) continue;
      XtRemoveCallback(e.button, XmNactivateCallback, modal_dlgCB, e.answer);
      XtVaSetValues(e.button, XmNuserData, reinterpret_cast<XtPointer>(e.id), nullptr);
    }
    // OK and Cancel close the box by themselves; action buttons 2 and 3 do not,
    // and an answered question must not stay on the screen holding the grab.
    if (XtIsManaged(msg_dlg)) XtUnmanageChild(msg_dlg);
  }
  // The dialog is closed and about to be destroyed (or already gone): a
  // handle to it would only invite a use after free, so the caller gets none.
  if (modal_dlg_out != nullptr) *modal_dlg_out = nullptr;
  return static_cast<DtbModalAnswer>(wait.answer);
}
