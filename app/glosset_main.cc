// The program entry: prepare the environment, start the toolkit, build the
// main window, and hand control to the event loop for good.
#include <X11/Intrinsic.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/glosset.h"
#include "dict/dic_lock.h"
#include "ui/gl_main_ui.h"
#include "ui/gl_main_widgets.h"

int main(int argc, char **argv) {
  // Only as the sole argument, so that it never takes the place of a toolkit
  // option's value, and before the toolkit, so that it needs no display.
  if (argc == 2 && (std::strcmp(argv[1], "-version") == 0 || std::strcmp(argv[1], "--version") == 0)) {
    std::puts("glosset " GLOSSET_VERSION);
    return 0;
  }
  glosset_prepare_environment();
  // A window must never seem to freeze: another writer's lock is waited for
  // half a second at most, then the change is reported as not made.
  dicchange::set_lock_wait_ms(500);

  XtAppContext app;
  Widget toplevel = XtAppInitialize(&app, const_cast<char *>("Glosset"), optionDescList, 1, &argc, argv,
                                    nullptr, nullptr, 0);

  if (dtb_glosset_initialize(&argc, &argv, toplevel) != 0) {
    std::fputs("Failed to create glosset window \n", stderr);
    std::exit(1);
  }

  XtGetApplicationResources(toplevel, &dtb_app_resource_rec, resources, 1, nullptr, 0);
  glosset_prepare_toplevel(toplevel);

  XtRealizeWidget(toplevel);
  // Laid out now: a wide field (the EUC-KR font set's columns) may push 찾기
  // past the window's edge.
  gl_main::widen_to_show(dtb_gl_main_mainwindow.Find);
  XtAppMainLoop(app);
  return 0;
}
