// Changes under a crash, a full disk, a second writer and a damaged file:
// no pair is ever lost and no reader ever sees half a change.
#include <sys/file.h>

#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "tests/tools/cli_run.h"

namespace {

using namespace clitest;
namespace fs = std::filesystem;

// `count` two-syllable readings that share the hash chain of 가.
std::vector<std::string> chain_mates(int count) {
  std::vector<std::string> found;
  for (int i = 0; i < 2350; i += 7)
    for (int j = 0; j < 2350 && static_cast<int>(found.size()) < count; j += 11)
      if (std::string r = syllable(i) + syllable(j); hash_bytes(*textcodec::to_euc(r)) == 976) found.push_back(r);
  return found;
}

std::string word(int i) { return hanja(i) + hanja(i + 500); }  // of two Hanja

class SafetyTest : public CliTest {
 protected:
  // Every pair as dump lists it.
  std::multiset<std::string> pairs() const {
    std::multiset<std::string> all;
    std::string out = cli({"dump"}).out;
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
      all.insert(out.substr(at, end - at));
    return all;
  }
  // Readings sharing chains with those the changes below use, each with a
  // word, and one pair deleted, so that chains and a free list are not empty.
  void fill() {
    std::string text;
    int i = 0;
    for (const std::string &r : chain_mates(6))
      for (int n = 0; n < 2; ++n) text += r + "\t" + word(i++) + "\n";
    for (int s = 0; s < 40; ++s) text += syllable(s * 37 + 1) + "\t" + hanja(100 + s) + "\n";
    ASSERT_EQ(cli({"import", write("background.txt", text)}).status, 0);
    ASSERT_EQ(cli({"del", chain_mates(2)[1], word(2)}).status, 0);
  }
};

// The kinds of change, each after the steps that make the file it starts from: a new key into freed nodes,
// a new key appended, a value of a known key, one of several values, an only value, a replacement, an import.
const std::vector<std::vector<std::string>> kKinds[] = {
    {{"add", "한자", "漢字"}, {"del", "한자", "漢字"}, {"add", "가나", "家具"}}, {{"add", "가", "家"}},
    {{"add", "가", "家"}, {"add", "가", "價"}},
    {{"add", "가", "家"}, {"add", "가", "價"}, {"add", "가", "佳"}, {"del", "가", "價"}},
    {{"add", "가", "家"}, {"del", "가", "家"}}, {{"add", "가", "家"}, {"add", "가", "價"}, {"mod", "가", "家", "佳"}},
    {{"import", "more.txt"}}};

// What each of those changes says it could not do.
const std::map<std::string, std::string> kWhat = {
    {"add", "add the pair"}, {"del", "delete the pair"}, {"mod", "replace the word"}, {"import", "import"}};

class Interrupted : public SafetyTest, public ::testing::WithParamInterface<int> {};

// Each kind of change, from the file fill() makes, with each write, sync or rename
// failing and killed before each of its system calls, in turn (strace's
// inject=, % the number of the call: 1, 2, ... until the change succeeds).
TEST_P(Interrupted, AKillOrAFullDiskLeavesTheOldOrTheNewFileAndSaysWhy) {
  if (access(kStrace, X_OK) != 0) GTEST_SKIP() << "strace is not installed";
  // Every write fails from the n-th on: the store writes with pwrite64 alone (write(2) is left to the
  // message on stderr, and in a sanitizer build to the sanitizer's own probes).
  std::vector<std::string> injects = {"pwrite64:error=ENOSPC:when=%+", "renameat:error=EACCES:when=%+",
                                      "copy_file_range:error=ENOSPC:when=%+", "fsync:error=EIO:when=%+",
                                      "copy_file_range:error=EXDEV:when=%+",  // these four: copied through a buffer
                                      "copy_file_range:error=ENOSYS:when=%+", "copy_file_range:error=EINVAL:when=%+",
                                      "copy_file_range:error=EOPNOTSUPP:when=%+"};
#ifndef __SANITIZE_ADDRESS__  // a thousand traced processes: the plain build runs them
  for (const char *call : {"openat", "read", "write", "close", "newfstatat", "fcntl",
                           "copy_file_range", "pread64", "pwrite64", "fsync", "fchmod", "linkat", "renameat", "unlinkat",
                           "readlink"})
    injects.push_back(std::string(call) + ":signal=KILL:when=%");
#endif
  const auto &steps = kKinds[GetParam()];
  std::vector<std::string> change = steps.back();
  if (change[0] == "import") change[1] = write("more.txt", "가\t家\n나\t羅\n가\t佳\n");
  fill();
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) ASSERT_EQ(cli(steps[i]).status, 0);
  Bytes before = bytes();
  ASSERT_EQ(cli(change).status, 0);
  Bytes after = bytes();
  ASSERT_NE(before, after);
  std::set<std::string> listed = names();
  int kills = 0, failures = 0;
  for (const std::string &inject : injects) {
    for (int n = 1; n < 500 && !HasFailure(); ++n) {
      std::string how = inject;
      how.replace(how.find('%'), 1, std::to_string(n));
      dicttest::write_file(dic(), before);
      CliResult r = cli(change, traced(how));
      SCOPED_TRACE(how + ": " + r.err);
      if (r.status == 0) {
        EXPECT_EQ(bytes(), after);
        break;
      }
      if (how.find("KILL") != std::string::npos) {
        ++kills;
        EXPECT_EQ(r.signal, SIGKILL);
        EXPECT_TRUE(bytes() == before || bytes() == after);
        cli(change);  // made again, uninterrupted, it gives the same bytes
        EXPECT_EQ(bytes(), after);
        // A kill may leave its copy (under a random name, which nothing sweeps): cleared for the next run.
        for (const std::string &n : names())
          if (!listed.contains(n)) fs::remove(path(n));
      } else {
        ++failures;
        std::string reason = how.starts_with("fsync")      ? "Input/output error"
                             : how.starts_with("renameat") ? "Permission denied"
                                                           : "No space left on device";
        EXPECT_TRUE(exited(r, 2, "cannot " + kWhat.at(change[0]) + ": " + reason));
        EXPECT_EQ(lines(r.err), 1);
        EXPECT_EQ(bytes(), before);
        EXPECT_EQ(names(), listed);  // a failed change leaves nothing beside the file
      }
    }
  }
  EXPECT_GE(failures, 3);  // at least a write, the sync and the rename
  EXPECT_TRUE(kills > 20 || injects.size() == 8) << kills;
}

INSTANTIATE_TEST_SUITE_P(Kinds, Interrupted, ::testing::Range(0, 7));

TEST_F(SafetyTest, ConcurrentWritersLoseNothingAndReadersSeeOnlyWholeFiles) {
  std::vector<std::string> readings = chain_mates(8);
  ASSERT_EQ(readings.size(), 8u);
  ASSERT_EQ(cli({"add", "가", "家"}).status, 0);
  std::atomic<bool> done = false;
  std::atomic<int> snapshots = 0;
  std::thread reader([&] {
    for (; !done; ++snapshots) {
      VerifyReport r = verify_image(bytes(), 1);
      EXPECT_TRUE(r.sound()) << "snapshot " << snapshots << ": " << (r.sound() ? "" : r.problems[0]);
    }
  });
  // Writers 0-2 add words under readings they share; writer 3 adds words and replaces each one.
  constexpr int kSteps = 25;
  std::vector<std::string> expected[4];
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w) {
    writers.emplace_back([&, w] {
      auto run = [&](const std::vector<std::string> &args) {
        CliResult r = cli(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return r.status == 0;
      };
      for (int i = 0; i < kSteps; ++i) {
        const std::string &r = readings[(w * 3 + i) % readings.size()];
        std::string a = word(w * 60 + i), b = word(300 + i);  // added; put in its place by writer 3
        if (w < 3 && run({"add", r, a})) expected[w].push_back(r + "\t" + a);
        if (w == 3 && run({"add", r, a}) && run({"mod", r, a, b})) expected[w].push_back(r + "\t" + b);
      }
    });
  }
  for (std::thread &t : writers) t.join();
  done = true;
  reader.join();
  EXPECT_GT(snapshots, 20);
  std::multiset<std::string> held = pairs();
  for (const auto &list : expected)
    for (const std::string &pair : list) EXPECT_EQ(held.count(pair), 1u) << pair;
  EXPECT_EQ(held.size(), 1u + 4 * kSteps);
  EXPECT_EQ(cli({"verify"}).status, 0);
}

TEST_F(SafetyTest, ASecondWriterWaitsForTheLockThenGivesUp) {
  ASSERT_EQ(cli({"add", "가", "家"}).status, 0);
  Bytes before = bytes();
  int fd = open(dic().c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_TRUE(dicttest::lock(fd, F_OFD_SETLK, F_WRLCK));
  scratch::Env wait("GLOSSET_LOCK_WAIT_MS", "300");
  EXPECT_TRUE(exited(cli({"add", "가", "價"}), 2, dic() + ": cannot add the pair: another program is changing it"));
  EXPECT_EQ(bytes(), before);
  EXPECT_EQ(cli({"get", "가"}).out, "家\n");  // readers never wait
  wait.set("5000");
  std::thread unlock([fd] { usleep(300000), close(fd); });
  EXPECT_EQ(cli({"add", "가", "價"}).status, 0);
  unlock.join();
  EXPECT_EQ(cli({"get", "가"}).out, "家\n價\n");
}

// Each failure names the file and the reason the system gave; a change keeps
// the file's mode and writes through a symbolic link.
TEST_F(SafetyTest, FailuresSayWhy) {
  ASSERT_EQ(run({"-f", path("real.hjd"), "add", "가", "家"}).status, 0);
  ASSERT_EQ(chmod(path("real.hjd").c_str(), 0640), 0);
  fs::create_symlink(path("real.hjd"), dic());
  ASSERT_EQ(cli({"add", "가", "價"}).status, 0);
  EXPECT_TRUE(fs::is_symlink(dic()));
  EXPECT_EQ(fs::status(dic()).permissions(), fs::perms(0640));
  EXPECT_EQ(run({"-f", path("real.hjd"), "get", "가"}).out, "家\n價\n");
  fs::remove(dic());
  ASSERT_EQ(cli({"add", "가", "家"}).status, 0);
  // As root every file is writable: a plain user shows what permissions refuse.
  std::vector<std::string> plain;
  if (geteuid() == 0) plain = as_uid(65534);
  ASSERT_EQ(chmod(home_.c_str(), 0755), 0);
  ASSERT_EQ(chmod(dic().c_str(), 0644), 0);
  EXPECT_TRUE(exited(cli({"add", "가", "價"}, plain), 2, "cannot add the pair: Permission denied"));
  EXPECT_EQ(cli({"add", "가", "家"}, plain).status, 0);  // registered already: nothing to write
  // A writable file in a directory that is not: the copy beside it cannot be made, and is named.
  ASSERT_EQ(chmod(dic().c_str(), 0666), 0);
  if (!plain.empty()) {
    ASSERT_EQ(chown(dic().c_str(), 65534, 65534), 0);  // the user's own file: only the copy fails
  }
  EXPECT_TRUE(exited(cli({"del", "가", "家"}, plain), 2, "Permission denied (" + dic() + ".glosset-tmp)"));
  // A file that reached the 24-bit offsets' limit.
  Bytes full = bytes();
  full.resize(16777210);
  dicttest::set_num(full, 6009, static_cast<int>(full.size()));
  dicttest::write_file(dic(), full);
  EXPECT_TRUE(exited(cli({"add", "나", "羅"}), 2, "cannot add the pair: the dictionary is full"));
  // A pair file that cannot be read to its end.
  std::string pairs = write("pairs.txt", "나\t羅\n");
  CliResult r = run({"-f", path("new.hjd"), "import", pairs}, traced("read:error=EIO", pairs));
  EXPECT_TRUE(access(kStrace, X_OK) != 0 || exited(r, 2, "pairs.txt: read error; nothing was imported"));
}

TEST_F(SafetyTest, RepairBringsBackEveryPairBehindACutLink) {
  fill();
  // 가 comes last in the chain it shares with the readings fill() added first.
  ASSERT_EQ(cli({"import", write("chain.txt", "가\t家\n가\t價\n")}).status, 0);
  std::multiset<std::string> held = pairs();
  Bytes sound = bytes();
  // The link fields of chain 976 in chain order: the first reading's, its two words', ... 가's, its two words'.
  std::vector<int> links;
  for (int at = dicttest::num_at(sound, 12 + 3 * 976); at != 0; at = dicttest::num_at(sound, links.back()))
    links.push_back(at + 1 + (sound[at] & 0x7F));
  ASSERT_EQ(links.size(), 20u);
  // A link cut inside a chain, a link at a chain's end that leads nowhere, an
  // emptied free-list head (its one node, a deleted word, stays deleted).
  for (auto [field, value] : {std::pair{links[1], 0}, {links[18], 0xFFFFF0}, {5988, 0}}) {
    Bytes damaged = sound;
    dicttest::set_num(damaged, static_cast<std::size_t>(field), value);
    dicttest::write_file(dic(), damaged);
    SCOPED_TRACE(field);
    CliResult v = cli({"verify"});
    EXPECT_EQ(v.status, 1);
    EXPECT_NE(v.out.find("reached by no chain or free list"), std::string::npos) << v.out;
    CliResult r = cli({"repair"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("the damaged file is kept as " + dic() + ".damaged"), std::string::npos) << r.out;
    EXPECT_EQ(pairs(), held) << r.out;
    std::size_t at = r.out.find("chain reached:"), listed = 0;  // the pairs no chain reached, for review
    if (at != std::string::npos) listed = std::count(r.out.begin() + at, r.out.begin() + r.out.find('\n', at), ',') + 1;
    EXPECT_EQ(listed, std::stoul(r.out.substr(r.out.find(" kept, ") + 7))) << r.out;
    EXPECT_EQ(cli({"verify"}).status, 0);
    EXPECT_EQ(dicttest::read_file(dic() + ".damaged"), damaged);
    fs::remove(dic() + ".damaged");
  }
}

}  // namespace
