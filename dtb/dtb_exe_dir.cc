// Finding the directory that holds the program's executable, from the name it
// was started with or by searching PATH the way a shell would.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "dtb/dtb_utils.h"

namespace {

constexpr size_t kPathMax = 1024;  // characters of a directory or path, without the NUL

// Copies text into buf of bufSize bytes, cut if need be, always NUL-terminated.
void copy_cut(std::string_view text, char *buf, int bufSize) {
  size_t n = std::min(text.size(), static_cast<size_t>(bufSize) - 1);
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
}

// The current directory, from getcwd or else from $PWD; empty when neither knows.
std::string_view current_dir(char (&cwd)[kPathMax + 1]) {
  if (getcwd(cwd, sizeof cwd) != nullptr) return cwd;
  const char *pwd = std::getenv("PWD");
  if (pwd == nullptr || *pwd == '\0' || std::strlen(pwd) > kPathMax) return {};
  return pwd;
}

}  // namespace

Boolean path_is_executable(char *path, uid_t euid, gid_t egid) {
  struct stat st;
  if (path == nullptr || stat(path, &st) != 0) return False;
  if (!S_ISREG(st.st_mode)) return False;
  if (euid == 0) return (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
  // Supplementary groups are deliberately not considered.
  if (st.st_mode & S_IXOTH) return True;
  if ((st.st_mode & S_IXGRP) && st.st_gid == egid) return True;
  if ((st.st_mode & S_IXUSR) && st.st_uid == euid) return True;
  return False;
}

int determine_exe_dir_from_argv(char *argv0, char *buf, int bufSize) {
  if (argv0 == nullptr || buf == nullptr || bufSize < 1) return -1;
  const char *slash = std::strrchr(argv0, '/');
  if (slash == nullptr) return -1;
  // A program directly in the root directory lives in "/", not in "".
  if (slash == argv0) {
    copy_cut("/", buf, bufSize);
    return 0;
  }
  copy_cut(std::string_view(argv0, slash - argv0), buf, bufSize);
  return 0;
}

int determine_exe_dir_from_path(char *argv0, char *buf, int bufSize) {
  if (argv0 == nullptr || buf == nullptr || bufSize < 1) return -1;
  uid_t euid = geteuid();
  gid_t egid = getegid();
  const char *env = std::getenv("PATH");
  if (env == nullptr) return -1;
  std::string_view path(env, strnlen(env, kPathMax));  // beyond 1024 bytes PATH is ignored
  size_t name_len = std::strlen(argv0);
  if (name_len + 2 > kPathMax) return -1;  // no candidate could hold the name

  // Segments are separated by ':'; an empty segment (a leading ':', or two in
  // a row) names the current directory, as for the shell. The walk ends where
  // the copy ends, so a trailing ':' adds no segment.
  size_t start = 0;
  for (;;) {
    size_t end = path.find(':', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view dir = path.substr(start, end - start);
    if (dir.empty()) dir = ".";
    if (dir.size() + 1 + name_len + 1 > kPathMax) dir = dir.substr(0, kPathMax - 2 - name_len);

    char candidate[kPathMax + 1];
    std::snprintf(candidate, sizeof candidate, "%.*s/%s", static_cast<int>(dir.size()), dir.data(), argv0);
    if (path_is_executable(candidate, euid, egid)) {
      copy_cut(dir, buf, bufSize);
      return 0;
    }
    start = end + 1;
    if (start >= path.size()) return -1;
  }
}

int determine_exe_dir(char *argv0, char *buf, int bufSize) {
  if (buf == nullptr || bufSize < 1) return -1;
  if (determine_exe_dir_from_argv(argv0, buf, bufSize) != 0 &&
      determine_exe_dir_from_path(argv0, buf, bufSize) != 0)
    return -1;
  if (buf[0] == '/') return 0;

  char cwd[kPathMax + 1];
  std::string_view here = current_dir(cwd);
  if (here.empty()) return 0;  // nothing to anchor it to: the directory stays relative
  char absolute[2 * kPathMax + 2];
  int n = std::strcmp(buf, ".") == 0
              ? std::snprintf(absolute, sizeof absolute, "%.*s", static_cast<int>(here.size()), here.data())
              : std::snprintf(absolute, sizeof absolute, "%.*s%s%s", static_cast<int>(here.size()), here.data(),
                              here.back() == '/' ? "" : "/", buf);
  // A directory that does not fit the buffer would name the wrong place: give none.
  if (n < 0 || n >= bufSize || static_cast<size_t>(n) > kPathMax) return -1;
  std::memcpy(buf, absolute, n + 1);
  return 0;
}
