// Our stand-in for the desktop session services: where a program saves its
// state when the session manager asks it to.
#pragma once
#include <string>

#include <X11/Intrinsic.h>

// Makes a fresh, empty session file for the application of the widget and
// returns its full path and its file name (both from malloc; the caller frees
// them). The files live in a per-user directory:
//   $XDG_STATE_HOME/<application class>/sessions   (when XDG_STATE_HOME is absolute)
//   $HOME/.local/state/<application class>/sessions (otherwise)
// created with mode 0700 when missing. Answers False, with both outputs null,
// when no such file can be made.
Boolean DtSessionSavePath(Widget widget, char **save_path, char **save_file);

// The directory DtSessionSavePath uses for an application class, or "" when
// neither XDG_STATE_HOME nor HOME gives one. The restoring side (a program
// started with -session NAME) finds NAME in this directory.
std::string dt_session_directory(const char *app_class);
