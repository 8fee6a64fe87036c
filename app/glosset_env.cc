// The process environment the program prepares before the toolkit starts.
#include <cstdio>
#include <cstdlib>

#include "app/glosset.h"

namespace {

constexpr const char kDefaultNlsPath[] =
    "/usr/xfront/lib/locale/%L/LC_MESSAGES/%N.cat:/usr/xfront/lib/locale/%L/LC_MESSAGES/%N";

// putenv keeps pointers into these buffers, so they live as long as the process.
char nlspath_entry[1024];
char app_defaults_path[100];
char app_defaults_entry[sizeof "XFILESEARCHPATH=" + sizeof app_defaults_path];

}  // namespace

void glosset_prepare_environment() {
  const char *lang = std::getenv("LANG");
  const char *nlspath = std::getenv("NLSPATH");

  // An empty NLSPATH counts as set: only an absent one gets the default.
  if (nlspath == nullptr) {
    std::snprintf(nlspath_entry, sizeof nlspath_entry, "%s=%s", "NLSPATH", kDefaultNlsPath);
    putenv(nlspath_entry);
  }

  // The resource file of class Glosset for this locale reaches the toolkit as
  // its whole application-defaults search path; a path the user gives in
  // XFILESEARCHPATH (for example into a build tree) is left to win. A LANG too
  // long for the path buffer gets no entry rather than a cut one.
  if (lang == nullptr || std::getenv("XFILESEARCHPATH") != nullptr) return;
  int n = std::snprintf(app_defaults_path, sizeof app_defaults_path, "/usr/dt/app-defaults/%s/Glosset", lang);
  if (n < 0 || static_cast<size_t>(n) >= sizeof app_defaults_path) return;
  std::snprintf(app_defaults_entry, sizeof app_defaults_entry, "XFILESEARCHPATH=%s", app_defaults_path);
  putenv(app_defaults_entry);
}
