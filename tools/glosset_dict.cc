// glosset-dict: the command-line companion of the dictionary editor.
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "dict/hanja_util.h"
#include "tools/cli.h"

namespace cli {

void error(const std::string &file, const char *fmt, ...) {
  char message[512];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(message, sizeof message, fmt, args);
  va_end(args);
  std::fprintf(stderr, "glosset-dict: %s: %s\n", file.empty() ? "(no dictionary path)" : file.c_str(), message);
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
    "  build [--force] [--layout chain|insertion] OUT FILE\n"
    "                         write a new dictionary OUT from FILE's pairs\n"
    "  verify                 check the whole file; exit 0 sound, 1 problems, 2 unreadable\n"
    "  export [--format tsv|libhangul] [--merge]\n"
    "                         every pair, one per line, for re-import; libhangul: READING:WORD:\n"
    "                         lines sorted by reading; --merge adds the system dictionary's pairs\n";

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
    {"import", cli::cmd_import, 1, 1, true},  {"build", cli::cmd_build, 2, 5, false},
    {"verify", cli::cmd_verify, 0, 0, false}, {"export", cli::cmd_export, 0, 3, false},
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
      return usage((std::string("unknown option ") + argv[i]).c_str());
    }
  }
  if (i >= argc) return usage("no command given");
  const Command *command = nullptr;
  for (const Command &c : kCommands)
    if (std::strcmp(c.name, argv[i]) == 0) command = &c;
  if (command == nullptr) return usage((std::string("unknown command ") + argv[i]).c_str());
  cli::Args args(argv + i + 1, argv + argc);
  int n = static_cast<int>(args.size());
  if (n < command->min_args || n > command->max_args)
    return usage((std::string("wrong number of arguments for ") + command->name).c_str());
  if (system && command->writes) return usage("the system dictionary is only read (-s)");
  if (file != nullptr && !use_file(file, system)) return cli::kFail;

  cli::Context ctx;
  ctx.type = system ? DIC_SYSTEM : DIC_USER;
  char path[kPathSize];
  get_dicname(ctx.type, path);
  ctx.path = path;
  return command->run(ctx, args);
}
