// What the runtime remembers about the running program (its toplevel widget,
// the command it was started with, the directory of its executable) and the
// restart command it leaves for the session manager.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <X11/Xlib.h>

#include "dtb/dt/session.h"
#include "dtb/dtb_private.h"
#include "dtb/dtb_utils.h"

namespace {

Widget dtb_project_toplevel_widget = nullptr;
char *dtb_save_command_str = nullptr;  // the caller's string, not a copy
char *dtb_exe_dir = nullptr;           // heap copy owned for the life of the program
DtbClientSessionSaveCB dtb_client_session_saveCB = nullptr;

constexpr int kPathBufSize = 1025;

}  // namespace

void dtb_save_toplevel_widget(Widget toplevel) { dtb_project_toplevel_widget = toplevel; }

Widget dtb_get_toplevel_widget() { return dtb_project_toplevel_widget; }

void dtb_save_command(char *argv0) {
  dtb_save_command_str = argv0;

  // Saved once at start-up; a repeated save replaces the old copy instead of leaking it.
  std::free(dtb_exe_dir);
  dtb_exe_dir = nullptr;
  if (argv0 == nullptr) return;
  char dir[kPathBufSize];
  if (determine_exe_dir(argv0, dir, sizeof dir) == 0) dtb_exe_dir = strdup(dir);
}

char *dtb_get_command() { return dtb_save_command_str; }

char *dtb_get_exe_dir() { return dtb_exe_dir; }

DtbClientSessionSaveCB dtb_get_client_session_saveCB() { return dtb_client_session_saveCB; }

void dtb_set_client_session_saveCB(DtbClientSessionSaveCB save_cb) { dtb_client_session_saveCB = save_cb; }

void dtb_session_save(Widget widget, XtPointer, XtPointer) {
  if (widget == nullptr) return;
  char *raw_path = nullptr;
  char *raw_file = nullptr;
  if (!DtSessionSavePath(widget, &raw_path, &raw_file)) return;
  dtb::UniqueCString session_path(raw_path);
  dtb::UniqueCString session_file(raw_file);

  Boolean saved = False;
  char **extra = nullptr;
  int extra_count = 0;
  if (dtb_client_session_saveCB != nullptr)
    saved = dtb_client_session_saveCB(widget, session_path.get(), &extra, &extra_count);

  // The vector holds borrowed strings: the command, the client's, our own
  // literal. A missing string (no command saved) is left out, not passed on.
  static char session_flag[] = "-session";
  std::vector<char *> argv;
  if (dtb_get_command() != nullptr) argv.push_back(dtb_get_command());
  for (int i = 0; extra != nullptr && i < extra_count; ++i) {
    if (extra[i] == nullptr) continue;
    if (std::strcmp(extra[i], "-session") == 0) {
      ++i;  // an old -session and its file name give way to the new one
      continue;
    }
    argv.push_back(extra[i]);
  }
  if (saved) {
    argv.push_back(session_flag);
    argv.push_back(session_file.get());
  } else {
    unlink(session_path.get());
  }

  // An unrealized widget has no window to carry the property.
  if (XtIsRealized(widget))
    XSetCommand(XtDisplayOfObject(widget), XtWindowOfObject(widget), argv.data(), static_cast<int>(argv.size()));
}
