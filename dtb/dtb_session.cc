// Saving the program's restart command for the session manager.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <X11/Xlib.h>

#include "dtb/dt/session.h"
#include "dtb/dtb_private.h"
#include "dtb/dtb_utils.h"

namespace {

DtbClientSessionSaveCB dtb_client_session_saveCB = nullptr;

}  // namespace

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

  // The vector holds borrowed strings: the command, the client's, our own literal.
  static char session_flag[] = "-session";
  std::vector<char *> argv;
  argv.push_back(dtb_get_command());
  for (int i = 0; extra != nullptr && i < extra_count; ++i) {
    if (extra[i] != nullptr && std::strcmp(extra[i], "-session") == 0) {
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
    XSetCommand(XtDisplay(widget), XtWindow(widget), argv.data(), static_cast<int>(argv.size()));
}
