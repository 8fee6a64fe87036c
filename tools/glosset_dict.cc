// glosset-dict: the command-line companion of the dictionary editor.
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <string>

#include "dict/dic_error.h"
#include "dict/hanja_util.h"
#include "tools/cli.h"
#include "tools/echo.h"

namespace cli {

void error(const std::string &file, const char *fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(nullptr, 0, fmt, args);
  va_end(args);
  // Formatted whole: the reason at the end of a message is never cut.
  std::string message(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(message.data(), message.size() + 1, fmt, again);
  va_end(again);
  std::fprintf(stderr, "glosset-dict: %s: %s\n", file.empty() ? "(no dictionary path)" : shown(file, 96).c_str(),
               message.c_str());
}

void report_failure(const Context &ctx, const char *what) {
  const dicerr::Failure &f = dicerr::last();
  if (f.kind == dicerr::Kind::none) {
    error(ctx.path, "cannot %s", what);
    return;
  }
  std::string why = dicerr::reason(f);
  // The copy beside the dictionary, or the name kept by repair, is named when it is what failed.
  if (!f.path.empty() && f.path != ctx.path) why += " (" + shown(f.path, 96) + ")";
  error(ctx.path, "cannot %s: %s", what, why.c_str());
}

Progress::Progress(const char *what, long total_bytes)
    : what_(what), total_(total_bytes), tty_(isatty(STDERR_FILENO) != 0) {}

void Progress::finish() {
  if (shown_) std::fputc('\n', stderr);
  shown_ = false;
}

void Progress::update(FILE *in, long lines) {
  if (!tty_ || lines - last_tick_ < 2000) return;
  last_tick_ = lines;
  shown_ = true;
  if (total_ > 0)
    std::fprintf(stderr, "\r%s: %3ld%%, %ld lines", what_, std::ftell(in) * 100 / total_, lines);
  else
    std::fprintf(stderr, "\r%s: %ld lines", what_, lines);
}

}  // namespace cli

namespace {

const char kUsage[] =
    "usage: glosset-dict [-f FILE] [-s] COMMAND [ARG...]\n"
    "  -f FILE     work on FILE as the user dictionary (with -s: as the system dictionary)\n"
    "  -s          read the system dictionary instead (get, check, dump, verify, export)\n"
    "  -h, --help  print this help and exit\n"
    "  --version   print the version and exit\n"
    "commands:\n"
    "  get READING            every word of READING, one per line\n"
    "  check READING WORD     exit 0 registered, 1 not\n"
    "  add READING WORD       exit 0 registered afterwards, 1 refused, 2 cannot write\n"
    "  del READING WORD       exit 0 removed, 1 not registered, 2 cannot open\n"
    "  mod READING OLD NEW    exit 0 replaced or added, 1 refused, 2 cannot write\n"
    "  dump                   every pair as READING<TAB>WORD, slot by slot in chain order\n"
    "  import FILE            add every pair of FILE in file order\n"
    "  import --from byeoru|fcitx5 [PATH]\n"
    "                         add the words of an input method's file the system table lacks\n"
    "  build [--force] [--layout chain|insertion] OUT FILE\n"
    "                         write a new dictionary OUT from FILE's pairs\n"
    "  verify                 check the whole file; exit 0 sound, 1 problems, 2 unreadable\n"
    "  repair                 rebuild a damaged dictionary from every pair it still holds;\n"
    "                         the damaged file is kept as FILE.damaged\n"
    "  export [--format tsv|libhangul] [--merge]\n"
    "                         every pair, one per line, for re-import; libhangul: READING:WORD:\n"
    "                         lines sorted by reading; --merge adds the system dictionary's pairs\n"
    "  publish [TARGET...]    write your words where an input method reads them, and again\n"
    "                         after every change; TARGET: byeoru, fcitx5, byeoru=PATH,\n"
    "                         fcitx5=PATH; without TARGET: write every remembered one again\n"
    "  unpublish TARGET       stop keeping TARGET in step (its file stays)\n"
    "after add, del, mod, import and repair the published targets are written again\n";

struct Command {
  const char *name;
  int (*run)(const cli::Context &, const cli::Args &);
  int min_args, max_args;
  bool writes;  // changes the dictionary, so never the system one
};

const Command kCommands[] = {
    {"get", cli::cmd_get, 1, 1, false},       {"check", cli::cmd_check, 2, 2, false},
    {"add", cli::cmd_add, 2, 2, true},        {"del", cli::cmd_del, 2, 2, true},
    {"mod", cli::cmd_mod, 3, 3, true},        {"dump", cli::cmd_dump, 0, 0, false},
    {"import", cli::cmd_import_any, 1, 1, true},  {"build", cli::cmd_build, 2, 5, false},
    {"verify", cli::cmd_verify, 0, 0, false}, {"export", cli::cmd_export, 0, 3, false},
    {"repair", cli::cmd_repair, 0, 0, true},
    {"publish", cli::cmd_publish, 0, 8, true}, {"unpublish", cli::cmd_unpublish, 1, 1, true},
};

int usage(const char *problem) {
  if (problem != nullptr) std::fprintf(stderr, "glosset-dict: %s\n", problem);
  std::fputs(kUsage, stderr);
  return cli::kFail;
}

// Points the store at FILE the way an absolute USRDICNAME (or SYSDICNAME) would.
bool use_file(const char *file, bool system) {
  std::string path = file;
  if (path.empty()) {
    cli::error(path, "empty file name");
    return false;
  }
  if (path[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) {
      cli::error(path, "cannot tell the current directory");
      return false;
    }
    path = std::string(cwd) + "/" + path;
  }
  if (path.size() >= static_cast<std::size_t>(kPathSize)) {
    cli::error(path, "path longer than %d bytes", kPathSize - 1);
    return false;
  }
  setenv(system ? "SYSDICNAME" : "USRDICNAME", path.c_str(), 1);
  // Without HOME the store would take the system dictionary for the user's.
  if (!system && std::getenv("HOME") == nullptr) setenv("HOME", "/", 1);
  return true;
}

bool same_file(const char *a, const char *b) {
  struct stat sa, sb;
  return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The command line never changes the system dictionary: not with -s, not
// through a user dictionary that is the system one (HOME unset makes the
// store take it for the user's), not through a FILE that is it.
bool may_change(const std::string &user_path, bool explicit_file) {
  const char *home = std::getenv("HOME");
  if (!explicit_file && (home == nullptr || *home == '\0')) {
    cli::error(user_path, "no home directory (HOME is not set): the user dictionary has no place; give -f FILE");
    return false;
  }
  char system_path[kPathSize];
  get_dicname(DIC_SYSTEM, system_path);
  if (user_path == system_path || same_file(user_path.c_str(), system_path)) {
    cli::error(user_path, "is the system dictionary, which is only read");
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  const char *file = nullptr;
  bool system = false;
  int i = 1;
  for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
    if (std::strcmp(argv[i], "-f") == 0 && i + 1 < argc) {
      file = argv[++i];
    } else if (std::strcmp(argv[i], "-s") == 0) {
      system = true;
    } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return cli::kYes;
    } else if (std::strcmp(argv[i], "--version") == 0) {
      std::puts("glosset-dict " GLOSSET_VERSION);
      return cli::kYes;
    } else {
      return usage(("unknown option " + cli::shown(argv[i])).c_str());
    }
  }
  if (i >= argc) return usage("no command given");
  const Command *command = nullptr;
  for (const Command &c : kCommands)
    if (std::strcmp(c.name, argv[i]) == 0) command = &c;
  if (command == nullptr) return usage(("unknown command " + cli::shown(argv[i])).c_str());
  cli::Args args(argv + i + 1, argv + argc);
  int n = static_cast<int>(args.size());
  // import takes FILE, or --from byeoru|fcitx5 and then perhaps a file.
  bool from = std::strcmp(command->name, "import") == 0 && n > 0 && args[0] == "--from";
  if (from ? n < 2 || n > 3 : n < command->min_args || n > command->max_args)
    return usage((std::string("wrong number of arguments for ") + command->name).c_str());
  if (system && command->writes) return usage("the system dictionary is only read (-s)");
  if (file != nullptr && !use_file(file, system)) return cli::kFail;

  cli::Context ctx;
  ctx.type = system ? DIC_SYSTEM : DIC_USER;
  char path[kPathSize];
  get_dicname(ctx.type, path);
  ctx.path = path;
  if (command->writes && !may_change(ctx.path, file != nullptr)) return cli::kFail;
  return cli::keep_in_step(command->name, command->run(ctx, args));
}
