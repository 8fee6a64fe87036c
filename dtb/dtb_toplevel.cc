// What the runtime remembers about the running program: its toplevel widget,
// the command it was started with and the directory of its executable.
#include <cstdlib>
#include <cstring>

#include "dtb/dtb_utils.h"

namespace {

Widget dtb_project_toplevel_widget = nullptr;
char *dtb_save_command_str = nullptr;  // the caller's string, not a copy
char *dtb_exe_dir = nullptr;           // heap copy owned for the life of the program

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
