// The project initializer, the locale gate and the ways out of the program.
#include "app/glosset.h"

#include <Xm/Protocols.h>
#include <Xm/Xm.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dtb/dtb_utils.h"
#include "editor/hanja_ui_util.h"
#include "editor/text_mode.h"
#include "ui/catalog_text.h"
#include "ui/gl_main_ui.h"

nl_catd Dtb_project_catd = (nl_catd)-1;
DtbAppResourceRec dtb_app_resource_rec = {nullptr};

XrmOptionDescRec optionDescList[1] = {
    {const_cast<char *>("-session"), const_cast<char *>("*session"), XrmoptionSepArg, nullptr},
};

XtResource resources[1] = {
    {const_cast<char *>("session"), const_cast<char *>("Session"), const_cast<char *>(XtRString),
     sizeof(String), 0, const_cast<char *>(XtRImmediate), nullptr},
};

int KoLocale() {
  const char *lang = std::getenv("LANG");
  if (text_mode_for(lang).has_value()) {
    // Only the character type: the other categories stay "C". A name the C
    // library does not know leaves it "C", silently.
    std::setlocale(LC_CTYPE, lang);
    return 1;
  }
  std::fputs("glosset runs under \"ko/ko.UTF-8\" locales only.\n\t", stderr);
  return 0;
}

void gl_main_mainwindow_CB1(Widget widget, XtPointer, XtPointer) {
  if (!KoLocale()) std::exit(0);
  if (widget != nullptr) glosset_select_input_method(XtDisplay(widget));
}

void gl_main_Quit_menu_CB1(Widget, XtPointer, XtPointer call_data) {
  auto *instance = static_cast<DtbGlMainMainwindowInfo *>(call_data);
  if (instance == nullptr || instance->Close_item == nullptr) return;
  XtAddCallback(instance->Close_item, XmNactivateCallback, quit_proc_CB, nullptr);
}

// Every dictionary change is written when it is made: nothing to save or ask.
void quit_proc_CB(Widget, XtPointer, XtPointer) { std::exit(0); }

void glosset_prepare_toplevel(Widget toplevel) {
  if (toplevel == nullptr) return;
  // Without XmDO_NOTHING the shell would destroy itself and leave the process
  // running with no window. (The title's encoding: glosset_identify_window.)
  XtVaSetValues(toplevel, XmNdeleteResponse, XmDO_NOTHING, nullptr);
  Atom wm_delete = XmInternAtom(XtDisplay(toplevel), const_cast<char *>("WM_DELETE_WINDOW"), False);
  XmAddWMProtocolCallback(toplevel, wm_delete, quit_proc_CB, nullptr);
}

int dtb_glosset_initialize(int *argc_in_out, char ***argv_in_out, Widget toplevel) {
  (void)argc_in_out;
  if (toplevel == nullptr) {
    std::fputs("\nWARNING: dtb_glosset_initialize() called with invalid widget.\n", stderr);
    std::fputs("Initialization failed.\n\n", stderr);
    return -1;
  }

  // With a flag other than NL_CAT_LOCALE the C library fills %L of the search
  // path from LANG, so the catalog found is the one of the locale LANG names.
  Dtb_project_catd = catopen("glosset", -1);
  if (Dtb_project_catd == (nl_catd)-1) {
    std::fprintf(stderr, "WARNING: Could not open message catalog: %s. Messages will be defaults.\n",
                 "glosset");
  }

  dtb_save_toplevel_widget(toplevel);
  dtb_save_command(argv_in_out != nullptr && *argv_in_out != nullptr ? (*argv_in_out)[0] : nullptr);

  dtbGlMainMainwindowInfo_clear(&dtb_gl_main_mainwindow);
  dtbGlMainDialogInfo_clear(&dtb_gl_main_dialog);
  dtb_gl_main_delete_confirm_initialize(&dtb_gl_main_delete_confirm);

  dtb_gl_main_mainwindow.mainwindow = toplevel;

  std::string title = catalog_text(1, "glosset");
  Pixel white = dtb_cvt_resource_from_string(toplevel, const_cast<char *>(XtRPixel), 4,
                                             const_cast<char *>("white"), 0);
  XtVaSetValues(toplevel, XmNallowShellResize, True, XmNtitle, title.c_str(), XmNinitialState,
                NormalState, XmNbackground, white, nullptr);
  glosset_identify_window(toplevel, true);

  dtb_gl_main_mainwindow_initialize(&dtb_gl_main_mainwindow, dtb_get_toplevel_widget());
  // Typing goes to 한글: as soon as the window has the keyboard.
  start_in_reading_field();
  return 0;
}
