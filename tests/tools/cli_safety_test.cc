// Changes under a crash, a full disk, a second writer and a damaged file:
// no pair is ever lost and no reader ever sees half a change.
#include <sys/file.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "dict/dic_verify.h"
#include "dict/hanja_util.h"
#include "tests/support/scratch.h"
#include "tests/tools/cli_run.h"
#include "tools/text_codec.h"

namespace {

using namespace clitest;
using dicttest::Bytes;
namespace fs = std::filesystem;

const char kStrace[] = "/usr/bin/strace";

std::string utf8(const std::string &euc) { return textcodec::to_utf8(euc).value_or("?"); }
// The i-th Hanja and the i-th Hangul syllable of KS X 1001, as UTF-8.
std::string hanja(int i) { return utf8({static_cast<char>(0xCA + i / 94), static_cast<char>(0xA1 + i % 94)}); }
std::string syllable(int i) { return utf8({static_cast<char>(0xB0 + i / 94), static_cast<char>(0xA1 + i % 94)}); }

// `count` two-syllable readings that share the hash chain of 가.
std::vector<std::string> chain_mates(int count) {
  std::vector<std::string> found;
  int slot = hash_bytes(*textcodec::to_euc("가"));
  for (int i = 0; i < 2350 && static_cast<int>(found.size()) < count; i += 7)
    for (int j = 0; j < 2350 && static_cast<int>(found.size()) < count; j += 11)
      if (std::string r = syllable(i) + syllable(j); hash_bytes(*textcodec::to_euc(r)) == slot) found.push_back(r);
  return found;
}

// A word of as many Hanja as `reading` has syllables.
std::string word_for(const std::string &reading, int i) {
  std::string w;
  for (std::size_t n = 0; n < reading.size(); n += 3) w += hanja(i + static_cast<int>(n) * 500);
  return w;
}

class SafetyTest : public dicttest::HomeDir {
 protected:
  std::string dic() const { return (home_ / "words.hjd").string(); }
  CliResult cli(std::vector<std::string> args, const std::vector<std::string> &prefix = {}) {
    args.insert(args.begin(), {"-f", dic()});
    return run_cli(home_.string(), args, "/dev/null", prefix);
  }
  Bytes bytes() const { return dicttest::read_file(dic()); }
  bool temp_left() const { return fs::exists(dic() + ".glosset-tmp"); }
  std::string pair_file(const std::string &name, const std::vector<std::pair<std::string, std::string>> &pairs) {
    std::ofstream out(home_ / name);
    for (const auto &[r, w] : pairs) out << r << "\t" << w << "\n";
    return (home_ / name).string();
  }
  // Every pair as dump lists it.
  std::set<std::string> pairs() {
    std::set<std::string> all;
    std::istringstream in(cli({"dump"}).out);
    for (std::string line; std::getline(in, line);) all.insert(line);
    return all;
  }
  // Readings sharing chains with those the changes below use, each with a
  // word, and one pair deleted, so that chains and a free list are not empty.
  void fill() {
    std::vector<std::pair<std::string, std::string>> background;
    int i = 0;
    for (const std::string &r : chain_mates(6)) {
      background.push_back({r, word_for(r, i++)});
      background.push_back({r, word_for(r, i++)});
    }
    for (int s = 0; s < 40; ++s) background.push_back({syllable(s * 37 + 1), hanja(100 + s)});
    ASSERT_EQ(cli({"import", pair_file("background.txt", background)}).status, 0);
    ASSERT_EQ(cli({"del", background[2].first, background[2].second}).status, 0);
  }

  struct Kind {
    const char *name;
    std::vector<std::vector<std::string>> before;  // steps that make the file the change starts from
    std::vector<std::string> change;
  };
  std::vector<Kind> kinds() {
    return {
        {"new key into freed nodes", {{"add", "한자", "漢字"}, {"del", "한자", "漢字"}}, {"add", "가나", "家具"}},
        {"new key appended", {}, {"add", "가", "家"}},
        {"value of a known key", {{"add", "가", "家"}}, {"add", "가", "價"}},
        {"one of several values", {{"add", "가", "家"}, {"add", "가", "價"}, {"add", "가", "佳"}}, {"del", "가", "價"}},
        {"an only value", {{"add", "가", "家"}}, {"del", "가", "家"}},
        {"replace", {{"add", "가", "家"}, {"add", "가", "價"}}, {"mod", "가", "家", "佳"}},
        {"import", {}, {"import", pair_file("more.txt", {{"가", "家"}, {"나", "羅"}, {"가", "佳"}})}},
    };
  }
  // Makes the file a kind's change starts from; answers it and the file the change makes of it.
  std::pair<Bytes, Bytes> prepare(const Bytes &base, const Kind &kind) {
    dicttest::write_file(dic(), base);
    for (const auto &step : kind.before) EXPECT_EQ(cli(step).status, 0) << kind.name;
    Bytes before = bytes();
    EXPECT_EQ(cli(kind.change).status, 0) << kind.name;
    Bytes after = bytes();
    EXPECT_NE(before, after) << kind.name;
    return {before, after};
  }
  std::vector<std::string> strace(const std::string &inject) {
    // The leak check of a sanitizer build cannot run under ptrace.
    const char *asan = std::getenv("ASAN_OPTIONS");
    std::string env = std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") + ":detect_leaks=0";
    return {kStrace, "-f", "-o", "/dev/null", "-E", env, "-e", inject};
  }
};

TEST_F(SafetyTest, AKillBeforeAnySystemCallLeavesTheOldOrTheNewFile) {
  if (access(kStrace, X_OK) != 0) GTEST_SKIP() << "strace is not installed";
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "a thousand traced processes: the plain build runs it";
#endif
  fill();
  Bytes base = bytes();
  const char *calls[] = {"openat", "read", "lseek", "write", "close", "flock", "newfstatat", "fcntl",
                         "copy_file_range", "pwrite64", "fsync", "fchmod", "unlink", "rename"};
  for (const Kind &kind : kinds()) {
    auto [before, after] = prepare(base, kind);
    int kills = 0;
    for (const char *call : calls) {
      for (int n = 1; n < 500; ++n) {
        dicttest::write_file(dic(), before);
        CliResult r = cli(kind.change, strace(std::string("inject=") + call + ":signal=KILL:when=" + std::to_string(n)));
        if (r.signal != SIGKILL) {
          EXPECT_EQ(bytes(), after) << kind.name << ", " << call << " #" << n << ": " << r.err;
          break;
        }
        ++kills;
        Bytes seen = bytes();
        ASSERT_TRUE(seen == before || seen == after) << kind.name << ": killed before " << call << " #" << n;
        // The change made again, uninterrupted, gives the bytes it gives at once, and clears what was left.
        cli(kind.change);
        ASSERT_EQ(bytes(), after) << kind.name << ": again after a kill before " << call << " #" << n;
        ASSERT_FALSE(temp_left()) << kind.name << ": " << call << " #" << n;
      }
    }
    EXPECT_GT(kills, 20) << kind.name;
  }
}

TEST_F(SafetyTest, AFullDiskChangesNothingAndSaysWhy) {
  if (access(kStrace, X_OK) != 0) GTEST_SKIP() << "strace is not installed";
  fill();
  Bytes base = bytes();
  // Every write of the change fails from the n-th on; stdio's writes are
  // failed one at a time, so that the message itself still reaches stderr.
  const char *injects[] = {"write:error=ENOSPC:when=", "pwrite64:error=ENOSPC:when=%+",
                           "copy_file_range:error=ENOSPC:when=%+", "fsync:error=EIO:when=%+"};
  for (const Kind &kind : kinds()) {
    auto [before, after] = prepare(base, kind);
    int failures = 0;
    for (std::string inject : injects) {
      for (int n = 1; n < 100; ++n) {
        std::string how = inject;
        if (std::size_t at = how.find('%'); at != std::string::npos)
          how.replace(at, 1, std::to_string(n));
        else
          how += std::to_string(n);
        dicttest::write_file(dic(), before);
        CliResult r = cli(kind.change, strace("inject=" + how));
        if (r.status == 0) break;
        ++failures;
        EXPECT_EQ(r.status, 2) << kind.name << ", " << how;
        bool eio = how.find("EIO") != std::string::npos;
        EXPECT_NE(r.err.find(eio ? "Input/output error" : "No space left on device"), std::string::npos)
            << kind.name << ", " << how << ": " << r.err;
        EXPECT_EQ(lines(r.err), 1) << r.err;
        ASSERT_EQ(bytes(), before) << kind.name << ", " << how;
        ASSERT_FALSE(temp_left()) << kind.name << ", " << how;
      }
    }
    EXPECT_GE(failures, 2) << kind.name;  // at least a write and the sync
  }
}

TEST_F(SafetyTest, ConcurrentWritersLoseNothingAndReadersSeeOnlyWholeFiles) {
  std::vector<std::string> readings = chain_mates(8);
  ASSERT_EQ(readings.size(), 8u);
  ASSERT_EQ(cli({"add", "가", "家"}).status, 0);
  std::atomic<bool> done = false;
  std::atomic<int> refused = 0, snapshots = 0, bad = 0;
  std::thread reader([&] {
    while (!done) {
      Bytes b = bytes();
      VerifyReport r = verify_image(b, 1);
      if (!r.sound()) {
        ++bad;
        ADD_FAILURE() << "snapshot " << snapshots << ": " << (r.problems.empty() ? "" : r.problems[0]);
      }
      ++snapshots;
    }
  });
  // Writers 0-2 add words under readings they share; writer 3 adds words and replaces each one.
  constexpr int kSteps = 25;
  std::vector<std::pair<std::string, std::string>> expected[4];
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {GLOSSET_DICT, "-f", dic()});
    std::vector<char *> argv;
    for (std::string &a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) == 0) {
      int ws = wait_for(pid, 60000);
      status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    }
    posix_spawn_file_actions_destroy(&fa);
    if (status != 0) ++refused;
    return status == 0;
  };
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w) {
    writers.emplace_back([&, w] {
      for (int i = 0; i < kSteps; ++i) {
        const std::string &r = readings[(w * 3 + i) % readings.size()];
        std::string word = word_for(r, w * 60 + i), replaced = word_for(r, 300 + i);
        if (w < 3) {
          if (run({"add", r, word})) expected[w].push_back({r, word});
        } else if (run({"add", r, word}) && run({"mod", r, word, replaced})) {
          expected[w].push_back({r, replaced});
        }
      }
    });
  }
  for (std::thread &t : writers) t.join();
  done = true;
  reader.join();
  EXPECT_EQ(refused, 0);
  EXPECT_EQ(bad, 0);
  EXPECT_GT(snapshots, 20);
  std::set<std::string> held = pairs();
  int lost = 0;
  for (const auto &list : expected)
    for (const auto &[r, w] : list) lost += held.count(r + "\t" + w) == 0;
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(held.size(), 1u + 4 * kSteps);
  EXPECT_EQ(cli({"verify"}).status, 0);
}

TEST_F(SafetyTest, ASecondWriterWaitsForTheLockThenGivesUp) {
  ASSERT_EQ(cli({"add", "가", "家"}).status, 0);
  Bytes before = bytes();
  int fd = open(dic().c_str(), O_RDONLY);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  scratch::Env wait("GLOSSET_LOCK_WAIT_MS", "300");
  CliResult r = cli({"add", "가", "價"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(dic() + ": cannot add the pair: another program is changing it"), std::string::npos) << r.err;
  EXPECT_EQ(bytes(), before);
  EXPECT_EQ(cli({"get", "가"}).out, "家\n");  // readers never wait
  wait.set("5000");
  std::thread unlock([fd] {
    usleep(300000);
    flock(fd, LOCK_UN);
  });
  EXPECT_EQ(cli({"add", "가", "價"}).status, 0);
  unlock.join();
  close(fd);
  EXPECT_EQ(cli({"get", "가"}).out, "家\n價\n");
}

TEST_F(SafetyTest, AChangeKeepsTheModeAndWritesThroughASymlink) {
  std::string real = (home_ / "real.hjd").string(), link = (home_ / "link.hjd").string();
  ASSERT_EQ(run_cli(home_.string(), {"-f", real, "add", "가", "家"}).status, 0);
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  fs::create_symlink(real, link);
  ASSERT_EQ(run_cli(home_.string(), {"-f", link, "add", "가", "價"}).status, 0);
  EXPECT_TRUE(fs::is_symlink(link));
  struct stat st;
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(run_cli(home_.string(), {"-f", real, "get", "가"}).out, "家\n價\n");
}

// Each failure names the file and the reason the system gave.
TEST_F(SafetyTest, FailuresSayWhy) {
  ASSERT_EQ(cli({"add", "가", "家"}).status, 0);
  // As root every file is writable: a plain user shows what permissions refuse.
  std::vector<std::string> plain;
  if (geteuid() == 0) plain = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  ASSERT_EQ(chmod(home_.c_str(), 0755), 0);
  ASSERT_EQ(chmod(dic().c_str(), 0644), 0);
  CliResult r = cli({"add", "가", "價"}, plain);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot add the pair: Permission denied"), std::string::npos) << r.err;
  EXPECT_EQ(cli({"add", "가", "家"}, plain).status, 0);  // registered already: nothing to write
  // A writable file in a directory that is not: the copy beside it cannot be made, and is named.
  ASSERT_EQ(chmod(dic().c_str(), 0666), 0);
  r = cli({"del", "가", "家"}, plain);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Permission denied (" + dic() + ".glosset-tmp)"), std::string::npos) << r.err;
  // A file that reached the 24-bit offsets' limit.
  Bytes full = bytes();
  full.resize(16777210);
  dicttest::set_num(full, 6009, static_cast<int>(full.size()));
  dicttest::write_file(dic(), full);
  r = cli({"add", "나", "羅"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot add the pair: the dictionary is full"), std::string::npos) << r.err;
}

// The offsets of the key node of `reading` and of the word nodes after it.
std::vector<int> group_of(const Bytes &b, const std::string &reading) {
  std::string key = *textcodec::to_euc(reading);
  int at = dicttest::num_at(b, 12 + 3 * hash_bytes(key));
  while (at != 0 && !(b[at] == (0x80 | key.size()) && std::string(b.begin() + at + 1, b.begin() + at + 1 + key.size()) == key))
    at = dicttest::num_at(b, at + 1 + (b[at] & 0x7F));
  std::vector<int> group;
  for (; at != 0 && (group.empty() || (b[at] & 0x80) == 0); at = dicttest::num_at(b, at + 1 + (b[at] & 0x7F)))
    group.push_back(at);
  return group;
}

TEST_F(SafetyTest, RepairBringsBackEveryPairBehindACutLink) {
  fill();
  // 가 comes last in the chain it shares with the readings fill() added first.
  ASSERT_EQ(cli({"import", pair_file("chain.txt", {{"가", "家"}, {"가", "價"}})}).status, 0);
  std::set<std::string> held = pairs();
  Bytes sound = bytes();
  std::vector<int> first = group_of(sound, chain_mates(1)[0]), ga = group_of(sound, "가");
  ASSERT_EQ(first.size(), 3u);
  ASSERT_EQ(ga.size(), 3u);
  struct Damage {
    const char *name;
    int field;
    int value;
  } damages[] = {
      {"a link cut inside a chain", first[1] + 1 + (sound[first[1]] & 0x7F), 0},
      {"a link at a chain's end that leads nowhere", ga[1] + 1 + (sound[ga[1]] & 0x7F), 0xFFFFF0},
      {"an emptied free-list head", 5988, 0},  // list 1: its one node, a deleted word, stays deleted
  };
  for (const Damage &d : damages) {
    Bytes damaged = sound;
    dicttest::set_num(damaged, static_cast<std::size_t>(d.field), d.value);
    dicttest::write_file(dic(), damaged);
    CliResult v = cli({"verify"});
    EXPECT_EQ(v.status, 1) << d.name;
    EXPECT_NE(v.out.find("reached by no chain or free list"), std::string::npos) << d.name << ": " << v.out;
    CliResult r = cli({"repair"});
    EXPECT_EQ(r.status, 0) << d.name << ": " << r.err;
    EXPECT_NE(r.out.find("the damaged file is kept as " + dic() + ".damaged"), std::string::npos) << r.out;
    EXPECT_EQ(pairs(), held) << d.name << ": " << r.out;
    EXPECT_EQ(cli({"verify"}).status, 0) << d.name;
    EXPECT_EQ(dicttest::read_file(dic() + ".damaged"), damaged) << d.name;
    fs::remove(dic() + ".damaged");
  }
}

}  // namespace
