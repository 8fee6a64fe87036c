// The 도움말 menu and where a help request leads from each part of the windows.
#include "ui/gl_main_help_menu.h"

#include <Xm/PushB.h>
#include <Xm/RowColumn.h>

#include "editor/gl_main_stubs.h"
#include "editor/help_ops.h"
#include "ui/gl_main_widgets.h"

using gl_main::create_labelled;

int dtb_gl_main_menubar_help_item_menu_create(DtbGlMainMainwindowInfoPtr instance, Widget parent) {
  if (instance->menubar_Help_item_menu == nullptr && parent != nullptr) {
    Arg args[1];
    XtSetArg(args[0], XmNtearOffModel, XmTEAR_OFF_DISABLED);
    instance->menubar_Help_item_menu =
        XmCreatePulldownMenu(parent, const_cast<char *>("menubar_Help_item_menu"), args, 1);
  }
  if (instance->menubar_Help_item_menu == nullptr) return -1;

  // Mnemonics as the other entries have them: Latin letters the Korean labels
  // do not hold, so that they work from the keyboard without underlining.
  const struct {
    Widget *item;
    const char *name, *letter;
    int number;
    const char *euc_default;
    XtCallbackProc callback;
  } items[] = {
      {&instance->Usage_item, "Usage_item", "U", 22, "\xbb\xe7\xbf\xeb\xb9\xfd", gl_main_Usage_CB1},  // 사용법
      {&instance->About_item, "About_item", "A", 23, "\xc1\xa4\xba\xb8", gl_main_About_CB1},          // 정보
  };
  for (const auto &item : items) {
    if (*item.item == nullptr) {
      Arg args[1];
      XtSetArg(args[0], XmNmnemonic, XStringToKeysym(item.letter));
      *item.item = create_labelled(item.name, xmPushButtonWidgetClass, instance->menubar_Help_item_menu,
                                   item.number, item.euc_default, args, 1, true);
      if (*item.item == nullptr) return -1;
      XtAddCallback(*item.item, XmNactivateCallback, item.callback, instance);
    }
  }
  return 0;
}

namespace {
void attach(Widget w, const char *location) {
  if (w != nullptr) XtAddCallback(w, XmNhelpCallback, gl_main_help_CB1, const_cast<char *>(location));
}
}  // namespace

// A help request goes to the nearest widget up the tree that has help: the
// field's row covers 한글: and its caption, the main window everything else.
void gl_main_mainwindow_attach_help(DtbGlMainMainwindowInfoPtr instance) {
  attach(instance->mainwindow_mainwin, kHelpHome);
  attach(instance->textfield_rowcolumn, kHelpFind);
  attach(instance->Find, kHelpFind);
  attach(instance->syshjd_list, kHelpSystemList);
  attach(instance->usrhjd_list, kHelpUserList);
  attach(instance->Add, kHelpAdd);
  attach(instance->Modify, kHelpModify);
  attach(instance->Delete, kHelpDelete);
}

void gl_main_dialog_attach_help(DtbGlMainDialogInfoPtr instance) { attach(instance->dialog_shellform, kHelpAddModify); }
