// Another local user against a change, in a sticky directory and in a
// group-shared one: nobody can redirect a change, block it, take the
// dictionary over or leave a name in its way; a huge file ends a command
// with a message.
#include <grp.h>
#include <sys/file.h>

#include <functional>
#include <thread>

#include "tests/tools/cli_run.h"

namespace {

using namespace clitest;
namespace fs = std::filesystem;

struct User {
  uid_t uid;
  std::vector<gid_t> groups;
};
constexpr gid_t kTeam = 64100;
const User kAlice{64101, {kTeam}}, kBob{64102, {kTeam}}, kMallory{64103, {}};

// glosset-dict run as `u` (its own group, and its groups).
std::vector<std::string> as(const User &u) { return as_uid(u.uid, u.groups.empty() ? 0 : u.groups[0]); }

// Whether `fn`, run in a child process as `u` (with its groups), succeeds.
bool as_user(const User &u, const std::function<bool()> &fn) {
  pid_t pid = fork();
  if (pid == 0)
    _exit(setgroups(u.groups.size(), u.groups.data()) == 0 && setresgid(u.uid, u.uid, u.uid) == 0 &&
                  setresuid(u.uid, u.uid, u.uid) == 0 && fn() ? 0 : 1);
  int ws = 0;
  return pid > 0 && waitpid(pid, &ws, 0) == pid && WIFEXITED(ws) && WEXITSTATUS(ws) == 0;
}

struct stat stat_of(const std::string &p) {
  struct stat st {};
  lstat(p.c_str(), &st);
  return st;
}

// Whether a process holds a lock on the file of `st`, as /proc/locks lists them.
bool locked(const struct stat &st) {
  std::ifstream locks("/proc/locks");
  std::string line, inode = ":" + std::to_string(st.st_ino) + " ";
  while (std::getline(locks, line))
    if (line.find(inode) != std::string::npos && line.find("->") == std::string::npos) return true;
  return false;
}

// Where other users can write: a sticky directory open to all, and a
// directory of a group (set-group-ID, so that what is made in it is the group's).
struct Place {
  const char *name;
  mode_t mode;
  gid_t group;
  User attacker;
};
const Place kPlaces[] = {{"sticky", 01777, 0, kMallory}, {"team", 02775, kTeam, kBob}};
void PrintTo(const Place &p, std::ostream *os) { *os << p.name; }

class Attack : public CliTest, public ::testing::WithParamInterface<Place> {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "acting as several users needs root";
    ASSERT_EQ(chmod(home_.c_str(), 0755), 0);
    dir_ = path(GetParam().name);
    ASSERT_TRUE(fs::create_directory(dir_));
    ASSERT_EQ(chown(dir_.c_str(), 0, GetParam().group), 0);
    ASSERT_EQ(chmod(dir_.c_str(), GetParam().mode), 0);
    dic_ = dir_ + "/words.hjd";
  }
  const User &attacker() const { return GetParam().attacker; }
  CliResult as_run(const User &u, const std::string &file, std::vector<std::string> args) const {
    args.insert(args.begin(), {"-f", file});
    return run(args, as(u));
  }
  // Alice's dictionary in the shared place, holding one pair, of mode `mode`.
  void alices(mode_t mode) const {
    ASSERT_EQ(as_run(kAlice, dic_, {"add", "가", "家"}).status, 0);
    ASSERT_EQ(chmod(dic_.c_str(), mode), 0);
  }

  std::string dir_, dic_;
};

// A symbolic link planted where the victim's dictionary is expected, to the
// attacker's dictionary that anyone may write: the victim's change never
// puts a file of the victim's, readable by all, in the attacker's place.
TEST_P(Attack, APlantedSymlinkHandsNothingOver) {
  std::string own = dir_ + "/m", bait = own + "/bait.hjd";
  ASSERT_TRUE(as_user(attacker(), [&] { return mkdir(own.c_str(), 0777) == 0 && chmod(own.c_str(), 0777) == 0; }));
  ASSERT_EQ(as_run(attacker(), bait, {"add", "가", "家"}).status, 0);
  ASSERT_TRUE(as_user(attacker(), [&] { return chmod(bait.c_str(), 0666) == 0 && symlink(bait.c_str(), dic_.c_str()) == 0; }));
  CliResult r = as_run(kAlice, dic_, {"add", "비밀", "秘密"});
  EXPECT_TRUE(S_ISLNK(stat_of(dic_).st_mode));
  EXPECT_EQ(stat_of(bait).st_uid, attacker().uid) << r.err;
  EXPECT_EQ(stat_of(bait).st_mode & 07777, 0666u);
}

// Another user's change of a dictionary shared with them keeps its owner,
// group and mode, or is refused with nothing written; the owner can change
// it afterwards.
TEST_P(Attack, ASharedDictionaryKeepsItsOwner) {
  alices(GetParam().group == kTeam ? 0664 : 0666);
  auto owner = [&] { struct stat st = stat_of(dic_); return std::tuple(st.st_uid, st.st_gid, st.st_mode); };
  auto before = owner();
  Bytes bytes_before = dicttest::read_file(dic_);
  CliResult r = as_run(attacker(), dic_, {"add", "나", "羅"});
  if (r.status == 0) {
    EXPECT_EQ(as_run(kAlice, dic_, {"get", "나"}).out, "羅\n");
  } else {
    EXPECT_TRUE(exited(r, 2, dic_));
    EXPECT_EQ(dicttest::read_file(dic_), bytes_before);
  }
  EXPECT_EQ(owner(), before) << "after the other user's change";
  EXPECT_EQ(as_run(kAlice, dic_, {"add", "다", "多"}).status, 0);
  EXPECT_EQ(owner(), before) << "after the owner's change";
  EXPECT_EQ(as_run(kAlice, dic_, {"get", "다"}).out, "多\n");
  EXPECT_EQ(as_run(kAlice, dic_, {"get", "가"}).out, "家\n");
}

// Every lock one who can only read the dictionary can take (held here: a
// lock is the same whoever holds it); the owner's change goes on all the same.
TEST_P(Attack, AReaderCannotBlockAChange) {
  alices(0644);
  scratch::Env wait("GLOSSET_LOCK_WAIT_MS", "2000");
  const std::function<bool(int)> locks[] = {[](int fd) { return flock(fd, LOCK_EX) == 0; },
                                            [](int fd) { return dicttest::lock(fd, F_SETLK, F_RDLCK); },
                                            [](int fd) { return dicttest::lock(fd, F_OFD_SETLK, F_RDLCK); }};
  int i = 0;
  for (const auto &take : locks) {
    int fd = open(dic_.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_TRUE(fd >= 0 && take(fd)) << i;
    CliResult r = as_run(kAlice, dic_, {"add", "나", hanja(i++)});
    close(fd);
    EXPECT_EQ(r.status, 0) << "lock " << i << ": " << r.err;
  }
}

// Names a change or a repair makes beside the dictionary, made first by
// another user: they stop nothing and are left alone.
TEST_P(Attack, NamesTakenFirstStopNothing) {
  alices(0644);
  std::vector<std::string> taken = {dic_ + ".glosset-tmp", dic_ + ".damaged"};
  for (int n = 1; n < 1000; ++n) taken.push_back(dic_ + ".damaged." + std::to_string(n));
  ASSERT_TRUE(as_user(attacker(), [&] {
    for (const std::string &t : taken) std::ofstream(t) << "mine";
    return true;
  }));
  CliResult r = as_run(kAlice, dic_, {"add", "나", "羅"});
  EXPECT_EQ(r.status, 0) << r.err;
  Bytes damaged = dicttest::read_file(dic_);
  dicttest::set_num(damaged, 12 + 3 * hash_bytes(dicttest::kGa), 0);  // 가's chain cut off
  dicttest::write_file(dic_, damaged);
  r = as_run(kAlice, dic_, {"repair"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::size_t at = r.out.find("kept as ");
  ASSERT_NE(at, std::string::npos) << r.out;
  std::string kept = r.out.substr(at + 8, r.out.find('\n', at) - at - 8);
  EXPECT_EQ(dicttest::read_file(kept), damaged);
  EXPECT_EQ(stat_of(kept).st_uid, kAlice.uid);
  EXPECT_EQ(as_run(kAlice, dic_, {"get", "가"}).out, "家\n");
  for (const std::string &t : taken) {
    EXPECT_EQ(stat_of(t).st_uid, attacker().uid) << t;
    EXPECT_EQ(dicttest::read_file(t), Bytes({'m', 'i', 'n', 'e'})) << t;
  }
}

// The directory of the dictionary swapped for a symbolic link to another of
// the victim's directories just after the change took its lock (the lock
// call returns a second late, through strace): the change stays with the
// file it locked, and the victim's other dictionary of that name is left as
// it was.
TEST_P(Attack, ADirectorySwappedMidChangeRedirectsNothing) {
  if (access(kStrace, X_OK) != 0) GTEST_SKIP() << "strace is not installed";
  std::string inner = dir_ + "/d", moved = dir_ + "/d.old", other = path("alice-home");
  ASSERT_TRUE(as_user(attacker(), [&] { return mkdir(inner.c_str(), 0777) == 0 && chmod(inner.c_str(), 0777) == 0; }));
  ASSERT_TRUE(fs::create_directory(other));
  ASSERT_EQ(chown(other.c_str(), kAlice.uid, kAlice.uid), 0);
  dic_ = inner + "/words.hjd";
  alices(0600);
  ASSERT_EQ(as_run(kAlice, other + "/words.hjd", {"add", "다", "多"}).status, 0);
  Bytes untouched = dicttest::read_file(other + "/words.hjd");
  std::vector<std::string> slow = traced("flock,fcntl:delay_exit=1000000"), alice = as(kAlice);
  slow.insert(slow.end(), alice.begin(), alice.end());
  CliResult r;
  std::thread victim([&] { r = run({"-f", dic_, "add", "나", "羅"}, slow); });
  struct stat st = stat_of(dic_);
  bool seen = false;
  for (int i = 0; i < 10000 && !(seen = locked(st)); ++i) usleep(2000);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(as_user(attacker(), [&] {
    return rename(inner.c_str(), moved.c_str()) == 0 && symlink(other.c_str(), inner.c_str()) == 0;
  }));
  victim.join();
  EXPECT_EQ(dicttest::read_file(other + "/words.hjd"), untouched) << r.err;
  EXPECT_TRUE(r.status == 2 || run({"-f", moved + "/words.hjd", "get", "나"}).out == "羅\n") << r.err;
}

INSTANTIATE_TEST_SUITE_P(Places, Attack, ::testing::ValuesIn(kPlaces),
                         [](const auto &info) { return std::string(info.param.name); });

// A file far larger than the format allows (16 MiB) is refused by every
// command, with a message and before reading it, under a bound on memory.
TEST_F(CliTest, AHugeFileIsRefusedWithAMessage) {
  ASSERT_EQ(cli({"add", "가", "家"}).status, 0);
  ASSERT_EQ(truncate(dic().c_str(), 40LL << 30), 0);
  std::vector<std::string> bound = {"/usr/bin/prlimit", "--fsize=67108864", "--as=1073741824"};
#ifdef __SANITIZE_ADDRESS__  // the sanitizer reserves terabytes of address space: its own bound instead
  bound.pop_back();
  const char *asan = std::getenv("ASAN_OPTIONS");
  scratch::Env memory("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":max_allocation_size_mb=1024").c_str());
#endif
  const std::vector<std::string> commands[] = {{"get", "가"}, {"check", "가", "家"}, {"add", "나", "羅"},
                                               {"del", "가", "家"}, {"mod", "가", "家", "佳"}, {"dump"},
                                               {"export"}, {"verify"}, {"repair"}};
  for (const auto &c : commands) {
    CliResult r = cli(c, bound);
    EXPECT_TRUE(exited(r, 2, dic())) << c[0] << ", signal " << r.signal;
    EXPECT_EQ(lines(r.err), 1) << c[0] << ": " << r.err;
  }
  EXPECT_EQ(fs::file_size(dic()), 40ULL << 30);
}

}  // namespace
