// Session files under the user's state directory.
#include "dtb/dt/session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// mkdir -p with mode 0700 for each part it creates.
bool make_dirs(const std::string &dir) {
  for (size_t pos = 1; pos <= dir.size(); ++pos) {
    if (pos != dir.size() && dir[pos] != '/') continue;
    std::string part = dir.substr(0, pos);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string dt_session_directory(const char *app_class) {
  std::string base;
  const char *state = std::getenv("XDG_STATE_HOME");
  const char *home = std::getenv("HOME");
  if (state != nullptr && state[0] == '/') {  // relative values are to be ignored
    base = state;
  } else if (home != nullptr && home[0] == '/') {
    base = std::string(home) + "/.local/state";
  } else {
    return {};
  }
  std::string cls = (app_class != nullptr && *app_class != '\0' && std::strchr(app_class, '/') == nullptr)
                        ? app_class
                        : "Application";
  return base + "/" + cls + "/sessions";
}

Boolean DtSessionSavePath(Widget widget, char **save_path, char **save_file) {
  if (save_path != nullptr) *save_path = nullptr;
  if (save_file != nullptr) *save_file = nullptr;
  if (widget == nullptr || save_path == nullptr || save_file == nullptr) return False;

  String name = nullptr;
  String app_class = nullptr;
  XtGetApplicationNameAndClass(XtDisplayOfObject(widget), &name, &app_class);
  std::string dir = dt_session_directory(app_class);
  if (dir.empty() || !make_dirs(dir)) return False;

  // mkstemp both picks a name nobody uses and reserves it.
  std::string prefix = (app_class != nullptr && std::strchr(app_class, '/') == nullptr) ? app_class : "session";
  std::string templ = dir + "/" + prefix + "-XXXXXX";
  std::vector<char> path(templ.begin(), templ.end());
  path.push_back('\0');
  int fd = mkstemp(path.data());
  if (fd < 0) return False;
  close(fd);

  char *full = strdup(path.data());
  char *file = full != nullptr ? strdup(std::strrchr(full, '/') + 1) : nullptr;
  if (full == nullptr || file == nullptr) {
    unlink(path.data());
    std::free(full);
    std::free(file);
    return False;
  }
  *save_path = full;
  *save_file = file;
  return True;
}
