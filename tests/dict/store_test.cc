// The store's entry points: the worked examples byte for byte, random
// add/del/mod and import compared with the independent model, paths,
// failures that must leave every file alone, and damaged files: verify
// reports each kind of damage; every read stays inside the file, every walk
// ends, what cannot be trusted reads as absent, and a change that would
// patch a damaged chain or free list is refused unwritten.
#include <fcntl.h>
#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <random>

#include "dict/dic_error.h"
#include "dict/dic_repair.h"
#include "tests/dict/dic_model.h"
#include "tests/dict/dict_test_util.h"

namespace {

using namespace dicttest;
namespace fs = std::filesystem;

class StoreTest : public HomeDir {
 protected:
  void add(const std::string &k, const std::string &v) { ASSERT_EQ(InsertHanjaWord(0, k.c_str(), v.c_str()), 0); }
};

// The plans of the worked examples; the bytes the changes write are the model's (ModelTest).
TEST_F(StoreTest, WorkedExamples) {
  init();
  std::vector<int> plan(6);
  ASSERT_EQ(GetInsertInfo(0, kHanja.c_str(), &plan[0], &plan[1], &plan[2], &plan[3], &plan[4], &plan[5]), 0);
  EXPECT_EQ(plan, (std::vector<int>{0, 6012, 5151, 0, 6009, 6020}));
  add(kGa, kGa1);
  add(kGa, kGa2);
  Bytes before = user_bytes();
  ASSERT_EQ(GetDeleteInfo(0, kGa.c_str(), kGa1.c_str(), &plan[0], &plan[1], &plan[2], &plan[3], &plan[4], &plan[5]), 0);
  EXPECT_EQ(plan, (std::vector<int>{6018, 5985, 0, 6021, 6015, 6024}));
  EXPECT_EQ(user_bytes(), before);  // planning writes nothing
}

std::string word(std::mt19937 &rng, std::size_t length) {
  std::string w;
  while (w.size() < length) w += '\xCA', w += "\xA1\xA2\xA4\xAB"[rng() % 4];
  return w;
}

class ModelTest : public StoreTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(ModelTest, RandomSequencesMatchTheModel) {
  // Readings of several lengths, many of them in slot 976 (that of 가: "0!" and the last four), and
  // words of a few Hanja, so that pairs repeat and chains hold many keys.
  const std::string keys[] = {kGa, "0!", "\xB0!", kGaNa, kHanja, "\xB3\xAA", "\xB4\xD9\xB0\xA1\xB3\xAA",
                              std::string(16, '\xC1'), "\xB0\xA1\xB7\xA7", "\xB0\xA1\xB0\xA1\xB0\xC4",
                              "\xB0\xA1\xB0\xA1\xB0\xA1\xC5\xB4", "\xB0\xA1\xB0\xA1\xB0\xA1\xB7\xCA"};
  std::mt19937 rng(GetParam());
  dicmodel::Model model;
  init();
  Bytes image = user_bytes();  // the same steps on an image in memory, as the fuzz target runs them
  for (int step = 0; step < 600; ++step) {
    const std::string &key = keys[rng() % 12];
    // Now and then a word of the wrong length, which both must refuse.
    std::string a = word(rng, rng() % 20 == 0 ? key.size() + 2 : key.size()), b = word(rng, key.size());
    int op = static_cast<int>(rng() % 10), got, want;
    if (op < 5)
      got = InsertHanjaWord(0, key.c_str(), a.c_str()), want = model.add(key, a);
    else if (op < 8)
      got = DeleteHanjaWord(0, key.c_str(), b.c_str()), want = model.del(key, b);
    else
      got = UpdateHanjaWord(0, key.c_str(), b.c_str(), a.c_str()), want = model.mod(key, b, a);
    ASSERT_EQ(got, want) << "step " << step << " op " << op;
    ASSERT_EQ(user_bytes(), model.bytes()) << "step " << step << " op " << op;
    dicfile::MemorySource memory(image);
    dicfile::Pager pages(memory);
    int in_memory = got;
    if (op < 5 && dicfmt::storable_pair(key, a)) in_memory = dicstore::insert_word(pages, "", key.c_str(), a.c_str());
    if (op >= 5 && op < 8) in_memory = dicstore::delete_word(pages, "", key.c_str(), b.c_str());
    if (op >= 8) image = user_bytes();
    ASSERT_EQ(in_memory, got) << "in memory, step " << step;
    ASSERT_EQ(image, model.bytes()) << "in memory, step " << step << " op " << op;
    std::vector<std::string> all = model.words(key);
    std::size_t skip = rng() % 4, max = rng() % 5, from = std::min(skip, all.size());
    std::vector<std::string> shown(all.begin() + from, all.begin() + std::min(from + max, all.size()));
    ASSERT_EQ(words(0, key, static_cast<int>(skip), static_cast<int>(max)), shown) << step;
    ASSERT_EQ(CheckDic(0, key.c_str(), b.c_str()), std::count(all.begin(), all.end(), b)) << step;
  }
  // Many pairs at once, as import lays them out in memory on the file as it
  // now is (free lists and all), give the bytes of adding them one by one.
  DicBuilder builder;
  ASSERT_TRUE(builder.load(user_bytes()));
  for (int i = 0; i < 200; ++i) {
    const std::string &key = keys[rng() % 12];
    std::string a = word(rng, rng() % 20 == 0 ? key.size() + 2 : key.size());
    Bytes before = model.bytes();
    DicBuilder::Result want = model.add(key, a) < 0 ? DicBuilder::Result::refused
                              : model.bytes() == before ? DicBuilder::Result::present : DicBuilder::Result::added;
    ASSERT_EQ(builder.add(key, a), want) << "pair " << i;
  }
  ASSERT_EQ(builder.image(), model.bytes());
}

INSTANTIATE_TEST_SUITE_P(Seeds, ModelTest, ::testing::Values(1u, 2u, 3u, 4u, 5u));

TEST(StoreFormat, HashTypeLengthByteAndTheBuildersLimit) {
  for (auto [key, slot] : {std::pair{kGa, 976}, {kGaNa, 403}, {"", 0}, {"0!", 976}, {"\xB0\xA1\xB3", 356}})
    EXPECT_EQ(hash(key.c_str()), slot) << key;  // bit 7 is left out; an odd last byte pairs with NUL
  Bytes file = {0x84, 0x10};
  dicfile::MemorySource source(file);
  dicfile::Pager pages(source);
  std::vector<int> got(6);
  for (int i = 0; i < 3; ++i) get_typelength(pages, &got[2 * i], &got[2 * i + 1]);  // the third at the end of the file
  EXPECT_EQ(got, (std::vector<int>{1, 4, 2, 16, 2, 0}));
  put_table(pages, 1990, 0x123456);  // the last slot and the first avail entry are neighbours
  put_avail(pages, 0, 0xABCDEF);
  pages.seek(0);
  put_typelength(pages, 1, 16);
  EXPECT_EQ((std::vector<long>{get_table(pages, 1990), get_avail(pages, 0), pages.tell()}),
            (std::vector<long>{0x123456, 0xABCDEF, 5988}));
  EXPECT_EQ(file[0], 0x90);
  DicBuilder builder;  // room for two more nodes of 6 bytes below 24-bit offsets, not three
  ASSERT_TRUE(builder.load(Bytes(0xFFFFFF - 12)));
  EXPECT_EQ(builder.add(kGaNa, kHanjaW), DicBuilder::Result::full);  // a new reading and its word: 16 bytes
  EXPECT_EQ(builder.add(kGa, kGa1), DicBuilder::Result::added);
  EXPECT_EQ(builder.add(kGa, kGa2), DicBuilder::Result::full);
  EXPECT_EQ(builder.image().size(), 0xFFFFFFu);
}

TEST_F(StoreTest, DictionaryPaths) {
  std::string fits = "/" + std::string(78, 'a'), over = fits + "a";  // 79 bytes fit the buffer with their NUL
  struct Case { const char *home, *usr, *sys; int type; std::string path; } cases[] = {  // "@": HOME
      {"@", nullptr, nullptr, 0, "@/.usrhjd"}, {"@", "mine", nullptr, 0, "@/mine"}, {"@", "/x/y", nullptr, 0, "/x/y"},
      {"@", "", nullptr, 0, ""}, {"@", fits.c_str(), nullptr, 0, fits}, {"@", over.c_str(), nullptr, 0, ""},
      {nullptr, nullptr, nullptr, 0, "/usr/lib/inpd/ko/syshjd"}, {nullptr, nullptr, "/s/d", 0, "/s/d"},
      {"@", nullptr, nullptr, 1, "/usr/lib/inpd/ko/syshjd"}, {"@", nullptr, "rel", 1, "/usr/lib/inpd/ko/rel"},
      {"@", nullptr, "/abs/sys", 1, "/abs/sys"}, {"@", nullptr, "", 1, ""}, {"@", nullptr, nullptr, 2, "nulhjd"},
      {"@", nullptr, nullptr, 3, ""}, {"@", nullptr, nullptr, -1, ""}};
  for (const Case &c : cases) {
    scratch::Env home("HOME", c.home ? home_.c_str() : nullptr), usr("USRDICNAME", c.usr), sys("SYSDICNAME", c.sys);
    char path[kPathSize] = "junk";
    get_dicname(c.type, path);
    EXPECT_EQ(path, c.path[0] == '@' ? home_.string() + c.path.substr(1) : c.path) << c.type << (c.usr ? c.usr : "");
  }
}

// Nothing is created, changed or reported as done where the store cannot work.
TEST_F(StoreTest, FailuresLeaveEveryFileAlone) {
  char rows[10][kRowSize];
  int count = 5;
  EXPECT_EQ(GetHanjaWord(0, kGa.c_str(), 0, 10, &count, rows), -1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(CheckDic(0, kGa.c_str(), kGa1.c_str()), -1);
  EXPECT_EQ(DeleteHanjaWord(0, kGa.c_str(), kGa1.c_str()), -1);
  for (auto [k, v] : {std::pair{std::string(), std::string()}, {"\xB0", "\xCA"}, {kGa, kGaNa}, {kGaNa, kGa1},
                      {std::string(18, '\xB0'), std::string(18, '\xCA')}})
    EXPECT_EQ(InsertHanjaWord(0, k.c_str(), v.c_str()), -1) << k.size();
  setenv("SYSDICNAME", (home_ / "sys").c_str(), 1);
  EXPECT_EQ(InsertHanjaWord(1, kGa.c_str(), kGa1.c_str()), -1);
  EXPECT_EQ(UpdateHanjaWord(1, kGa.c_str(), kGa1.c_str(), kGa2.c_str()), -1);
  EXPECT_FALSE(fs::exists(user_dic()));
  EXPECT_FALSE(fs::exists(home_ / "sys"));
  add(kGa, kGa1);
  Bytes b = user_bytes();
  EXPECT_EQ(UpdateHanjaWord(0, kGa.c_str(), kGa1.c_str(), kGaNa.c_str()), -1);
  init();
  fs::create_directory(home_ / "dir");
  for (auto [usr, type] : {std::pair{"", 0}, {nullptr, 3}, {nullptr, -2}, {"dir", 0}}) {
    scratch::Env env("USRDICNAME", usr);
    EXPECT_EQ(CheckDic(type, kGa.c_str(), kGa1.c_str()), -1);
    EXPECT_EQ(InsertHanjaWord(type, kGa.c_str(), kGa2.c_str()), -1);
    EXPECT_EQ(UpdateHanjaWord(type, kGa.c_str(), kGa1.c_str(), kGa2.c_str()), -1);
  }
  // Locked by another writer, or every write failing as on a full disk: nothing changes, and each result is -1.
  auto changes = [&] {
    const char *ga = kGa.c_str(), *ga1 = kGa1.c_str(), *ga2 = kGa2.c_str();
    int i[6], d[6];  // plans made without the lock; the steps alone are refused too
    EXPECT_EQ(GetInsertInfo(0, ga, &i[0], &i[1], &i[2], &i[3], &i[4], &i[5]), 0);
    EXPECT_EQ(GetDeleteInfo(0, ga, ga1, &d[0], &d[1], &d[2], &d[3], &d[4], &d[5]), 0);
    return std::vector<int>{InsertHanjaWord(0, ga, ga2), DeleteHanjaWord(0, ga, ga1), UpdateHanjaWord(0, ga, ga1, ga2),
                            InsertDic(0, 2, ga2, i[1], i[2], i[3], i[4], i[5]), DeleteDic(0, d[0], d[1], d[2], d[3], d[4], d[5])};
  };
  int fd = open(user_dic().c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_TRUE(lock(fd, F_OFD_SETLK, F_WRLCK));
  scratch::Env wait("GLOSSET_LOCK_WAIT_MS", "0");
  EXPECT_EQ(changes(), (std::vector<int>{-1, -1, -1, -1, -1}));
  EXPECT_EQ(UpdateHanjaWord(0, nullptr, kGa1.c_str(), kGa2.c_str()), -1);
  close(fd);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit none{0, old.rlim_max};
  std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
  std::vector<int> results = changes();
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(results, (std::vector<int>{-1, -1, -1, -1, -1}));
  EXPECT_EQ(user_bytes(), b);  // an existing file is never emptied
  EXPECT_EQ(std::distance(fs::directory_iterator(home_), fs::directory_iterator()), 2);  // it and "dir"
  setenv("USRDICNAME", "no/such/dir/dic", 1);
  EXPECT_EXIT(init(), ::testing::ExitedWithCode(1), "");
}

const std::string kNa = "\xB3\xAA";  // 나

// The sound dictionary every case damages:
//   6012 가  6018 家  6024 價  6030 0!  6036 佳   (one chain, slot 976)
//   6042 나  6048 (its value)                   (freed: free list 0 = 6042 -> 6048 -> 0)
//   6054 한자  6062 漢字                          (slot 1713)
//   end of data 6070
class DamagedTest : public HomeDir {
 protected:
  void SetUp() override {
    for (auto [k, v] : {std::pair{kGa, kGa1}, {kGa, kGa2}, {std::string("0!"), kGa3}, {kNa, kGa1}, {kHanja, kHanjaW}})
      ASSERT_EQ(InsertHanjaWord(0, k.c_str(), v.c_str()), 0);
    ASSERT_EQ(DeleteHanjaWord(0, kNa.c_str(), kGa1.c_str()), 1);
    sound_ = user_bytes();
    ASSERT_EQ(nums(sound_, {5985, 6009}), (std::vector<int>{6042, 6070}));
    VerifyReport r = verify_image(sound_);
    ASSERT_EQ(Sizes({r.total, r.keys, r.values, r.free_nodes}), Sizes({0, 3, 4, 2}));
  }
  Bytes sound_;
};

TEST_F(DamagedTest, EachDamageIsReportedAndRefusedCleanly) {
  struct Damage {
    std::string report;  // a part of one of verify's lines
    std::function<void(Bytes &)> poke;
    std::string absent = "";                   // a reading that must now read as absent ("" for none)
    std::string add_key = "", add_value = "";  // an insertion that must be refused ("" for none)
    std::string del_key = "", del_value = "";  // a deletion that must not happen ("" for none)
  } cases[] = {
      {"truncated header", [](Bytes &b) { b.resize(3000); }, kGa, kGa, kGa3, kGa, kGa1},
      {"bad signature", [](Bytes &b) { b[0] = 'X'; }},
      {"out of range", [](Bytes &b) { set_num(b, 12 + 3 * 976, 0xFFFFF0); }, kGa, kGa, kGa3, kGa, kGa1},
      {"out of range", [](Bytes &b) { set_num(b, 12 + 3 * 976, 100); }, kGa, kGa, kGa3, kGa, kGa1},
      {"out of range", [](Bytes &b) { set_num(b, 12 + 3 * 976, 6066); }, kGa, kGa, kGa3, kGa, kGa1},
      {"loops back", [](Bytes &b) { set_num(b, 6039, 6036); }, "0!", "0!", kGa1, "0!", kGa3},
      {"loops back", [](Bytes &b) { set_num(b, 6039, 6030); }, "", "0!", kGa1, "0!", kGa3},
      {"loops back", [](Bytes &b) { set_num(b, 6039, 6012); }, "\xB0!", "\xB0!", kGa1, "0!", kGa3},
      {"runs past the end", [](Bytes &b) { b[6018] = 0x7F; }, kGa, kGa, kGa3, kGa, kGa2},
      {"runs past the end", [](Bytes &b) { b[6054] = 0xFF; }, kHanja},
      {"loops back", [](Bytes &b) { set_num(b, 6051, 6042); }, "", kNa, kGa2},
      {"overlaps another node", [](Bytes &b) { b[6048] = 0x04; }, "", kNa, kGa2},
      {"another class", [](Bytes &b) { set_num(b, 5985, 0), set_num(b, 5988, 6042); }, "", kGaNa, kHanjaW},
      {"out of range", [](Bytes &b) { set_num(b, 5985, 7000); }, "", kNa, kGa2, kGa, kGa1},
      {"used twice", [](Bytes &b) { set_num(b, 5985, 6036); }},  // a live value on a free list
      {"is not the file length", [](Bytes &b) { set_num(b, 6009, 6076); }, "", kHanja, kGaNa},
      {"has 2 bytes, its key", [](Bytes &b) { b[6062] = 0x02, set_num(b, 6065, 0); }, "", "", "", kHanja, "\xF9\xD3"},
      {"has no value", [](Bytes &b) { set_num(b, 6033, 0); }},  // 0! loses 佳
      {"no size class", [](Bytes &b) { b[6012] = 0x80; }},
      {"belongs to slot", [](Bytes &b) { b[6031] = '1'; }},  // 0! becomes 1!, another slot
      {"has no key before it", [](Bytes &b) { set_num(b, 12 + 3 * 976, 6018); }},
      {"reached by no chain", [](Bytes &b) { set_num(b, 6027, 0); }},  // 0! and 佳 cut off
  };
  for (const Damage &c : cases) {
    Bytes damaged = sound_;
    c.poke(damaged);
    SCOPED_TRACE(c.report + " #" + std::to_string(&c - cases));
    VerifyReport r = verify_image(damaged);
    bool found = false;
    for (const std::string &p : r.problems) found = found || p.find(c.report) != std::string::npos;
    EXPECT_TRUE(found) << (r.problems.empty() ? "(none)" : r.problems[0]);
    write_file(user_dic(), damaged);
    EXPECT_TRUE(c.absent.empty() || (words(0, c.absent).empty() && CheckDic(0, c.absent.c_str(), kGa1.c_str()) == 0));
    for (const std::string &k : {kGa, std::string("0!"), kNa, kHanja}) EXPECT_LE(words(0, k).size(), 2u);
    EXPECT_TRUE(c.add_key.empty() || InsertHanjaWord(0, c.add_key.c_str(), c.add_value.c_str()) == -1);
    if (!c.del_key.empty()) {
      int plan[6];
      const char *k = c.del_key.c_str(), *v = c.del_value.c_str();
      EXPECT_EQ(GetDeleteInfo(0, k, v, &plan[0], &plan[1], &plan[2], &plan[3], &plan[4], &plan[5]), -1);
      dicerr::clear();
      int deleted = DeleteHanjaWord(0, k, v);
      EXPECT_NE(deleted, 1);
      EXPECT_TRUE(deleted == 0 || dicerr::last().kind == dicerr::Kind::damaged) << deleted;
    }
    EXPECT_EQ(user_bytes(), damaged);
  }
}

TEST_F(DamagedTest, PlansThatDoNotFitTheFileAreNotWritten) {
  // A node inside the header or beyond the end, a field in the avail table or
  // beyond the end, an avail entry outside the table, a link beyond the end.
  struct Plan { int node, field, held, avail, avail_value; } plans[] = {
      {100, 5151, 0, 6009, 6078}, {9000, 5151, 0, 6009, 6078}, {6070, 5985, 0, 6009, 6078},
      {6070, 9000, 0, 6009, 6078}, {6070, 5151, 0, 5000, 6078}, {6070, 5151, 9000, 6009, 6078}};
  for (const Plan &p : plans)
    EXPECT_EQ(InsertDic(0, 2, kGa1.c_str(), p.node, p.field, p.held, p.avail, p.avail_value), -1) << &p - plans;
  // The avail entry is the end of data, the freed node in the header, the patch or the value link beyond the end
  // (or the value link on the first node's type byte).
  struct DeletePlan { int freed, avail, head, value_link, patch, next; } deletes[] = {
      {6018, 6009, 0, 6021, 6015, 6024}, {10, 5985, 0, 6021, 6015, 6024},
      {6018, 5985, 0, 6021, 9000, 6024}, {6018, 5985, 0, 9000, 6015, 6024}, {6018, 5985, 0, 6012, 6015, 6024}};
  for (const DeletePlan &p : deletes)
    EXPECT_EQ(DeleteDic(0, p.freed, p.avail, p.head, p.value_link, p.patch, p.next), -1) << &p - deletes;
  EXPECT_EQ(user_bytes(), sound_);
  // Every node a chain held is lost now; the free list's two are still reached.
  for (int slot = 0; slot < 1991; ++slot) set_num(sound_, 12 + 3 * slot, 0xFFFFFF);
  VerifyReport r = verify_image(sound_, 10);
  EXPECT_EQ(Sizes({r.problems.size(), r.orphan_keys, r.orphan_values, r.total}), Sizes({10, 3, 4, 1991 + 7}));
}

// Repair gives the words at the head of a piece of chain that nothing reaches
// to the one reading, of the right length, whose chain the cut went through;
// when two could be it, the words go to none and are listed for review.
TEST(Salvage, WordsBehindACutGoToTheOneReadingThatFits) {
  const std::string kHanjaW2 = "\xF9\xD3\xEA\xA1";
  using Pair = std::pair<std::string, std::string>;
  const std::vector<Pair> all = {{kGa, kGa1}, {kGa, kGa2}, {kNa, kGa1}, {kNa, kGa3}, {kHanja, kHanjaW}, {kHanja, kHanjaW2}};
  DicBuilder builder;
  for (const auto &[k, v] : all) ASSERT_EQ(builder.add(k, v), DicBuilder::Result::added);
  const Bytes &sound = builder.image();
  auto first_word_link = [&](const std::string &key) {  // the link field of the reading's first word
    int at = num_at(sound, 12 + 3 * hash(key.c_str()));
    int word = num_at(sound, at + 1 + key.size());
    return static_cast<std::size_t>(word + 1 + key.size());
  };
  struct Case {
    std::vector<std::string> cut;
    std::vector<Pair> lost;  // second words kept by no reading
  } cases[] = {
      {{kGa}, {}},
      {{kGa, kHanja}, {}},  // readings of different lengths: each word finds its own
      {{kGa, kNa}, {{kGa, kGa2}, {kNa, kGa3}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(&c - cases);
    Bytes damaged = sound;
    for (const std::string &key : c.cut) set_num(damaged, first_word_link(key), 0xFFFFF0);
    SalvageReport r = salvage(damaged);
    std::multiset<Pair> kept, expected(all.begin(), all.end());
    for (const SalvagedPair &p : r.pairs) kept.emplace(p.key, p.value);
    for (const Pair &p : c.lost) expected.erase(p);
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(r.keyless_words.size(), c.lost.size());
    EXPECT_EQ(r.orphaned, c.cut.size() - c.lost.size());
  }
}

}  // namespace
