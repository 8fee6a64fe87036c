// Shared pieces of the glosset-dict commands.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace cli {

// Exit statuses: kYes for success, kNo for "not there / refused / problems
// found", kFail for a file that cannot be read or written and for usage errors.
enum Exit { kYes = 0, kNo = 1, kFail = 2 };

struct Context {
  int type = 0;      // dictionary type selector of the dictionary worked on
  std::string path;  // its path, for messages
};

// Prints "glosset-dict: FILE: message" as one line on standard error.
// Arguments echoed in the message go through shown() (tools/echo.h).
void error(const std::string &file, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
// "glosset-dict: FILE: cannot WHAT: REASON", the reason the store recorded
// for its last failure (dict/dic_error.h).
void report_failure(const Context &ctx, const char *what);

// Progress on a terminal: a line on standard error rewritten in place, never
// when standard error is redirected.
class Progress {
 public:
  Progress(const char *what, long total_bytes);
  ~Progress() { finish(); }
  // Ends the progress line, so that what follows starts on a line of its own.
  void finish();
  // Called after every line of `in`; asks for the position only when it shows it.
  void update(FILE *in, long lines);

 private:
  const char *what_;
  long total_;
  bool shown_ = false;
  bool tty_;
  long last_tick_ = 0;
};

using Args = std::vector<std::string>;

// The whole dictionary file, read without a lock (as every reader does);
// false after a message when it cannot be read.
bool read_dictionary(const Context &ctx, std::vector<unsigned char> &image);

int cmd_get(const Context &ctx, const Args &args);
int cmd_check(const Context &ctx, const Args &args);
int cmd_add(const Context &ctx, const Args &args);
int cmd_del(const Context &ctx, const Args &args);
int cmd_mod(const Context &ctx, const Args &args);
int cmd_dump(const Context &ctx, const Args &args);
int cmd_export(const Context &ctx, const Args &args);
int cmd_verify(const Context &ctx, const Args &args);
int cmd_import(const Context &ctx, const Args &args);
int cmd_build(const Context &ctx, const Args &args);
int cmd_repair(const Context &ctx, const Args &args);

// publish_command.cc: publish TARGET..., unpublish TARGET, import FILE or
// import --from byeoru|fcitx5 [PATH].
int cmd_publish(const Context &ctx, const Args &args);
int cmd_unpublish(const Context &ctx, const Args &args);
int cmd_import_any(const Context &ctx, const Args &args);
// After a change that did not fail, writes again the targets remembered for
// the user dictionary (failures on standard error); answers `status`.
int keep_in_step(const std::string &command, int status);

// export --format libhangul: READING:WORD: lines sorted by reading; with
// `merge`, the system dictionary's words follow the user's under each reading.
int export_libhangul(const Context &ctx, bool merge);

}  // namespace cli
