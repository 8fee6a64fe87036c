// The default system dictionary as the build makes it from libhangul's table:
// every storable pair of the table, each reading's words in file order, the
// chains laid out one after another, and later changes working as usual.
#include <map>

#include "dict/dic_layout.h"
#include "tests/dict/dict_test_util.h"
#include "tools/pair_file.h"

namespace {

using namespace dicttest;

class SysDict : public HomeDir {};

TEST_F(SysDict, HoldsEveryStorablePairOfTheTableInFileOrder) {
  FILE *in = std::fopen(GLOSSET_HANJA_TXT, "rb");
  if (in == nullptr) GTEST_SKIP() << GLOSSET_HANJA_TXT << " is not installed";
  std::vector<std::pair<std::string, std::vector<std::string>>> readings;  // in the order of their first line
  std::map<std::string, std::size_t> index;
  DicBuilder builder;
  read_pair_file(in, [&](const StorablePair &p) {
    if (builder.add(p.reading, p.word) != DicBuilder::Result::added) return;
    auto [it, fresh] = index.emplace(p.reading, readings.size());
    if (fresh) readings.push_back({p.reading, {}});
    readings[it->second].second.push_back(p.word);
  }, nullptr);
  std::fclose(in);
  Bytes sys = read_file(GLOSSET_SYSDICT);
  EXPECT_TRUE(sys == chain_layout(builder.image()));
  VerifyReport report = verify_image(sys);
  EXPECT_EQ(std::vector<std::size_t>({report.total, report.keys, report.values, report.free_nodes}),
            (std::vector<std::size_t>{0, 221540, 278984, 0}));
  setenv("SYSDICNAME", GLOSSET_SYSDICT, 1);
  for (const auto &[key, list] : readings) {
    ASSERT_EQ(words(DIC_SYSTEM, key), list);
    ASSERT_EQ(CheckDic(DIC_SYSTEM, key.c_str(), list.back().c_str()), 1) << key;
  }
  int next = 6012;  // where the next chain's first node lies
  for (int slot = 0; slot < 1991; ++slot)
    for (int at = num_at(sys, 12 + 3 * slot); at != 0; next = at + 4 + (sys[at] & 0x7F), at = num_at(sys, next - 3))
      ASSERT_EQ(at, next) << "slot " << slot;
  EXPECT_EQ(next, static_cast<int>(sys.size()));
  write_file(user_dic(), sys);
  EXPECT_EQ(InsertHanjaWord(DIC_USER, kHanja.c_str(), (kGa1 + kGa2).c_str()), 0);
  EXPECT_EQ(DeleteHanjaWord(DIC_USER, kHanja.c_str(), kHanjaW.c_str()), 1);
  EXPECT_EQ(words(DIC_USER, kHanja).back(), kGa1 + kGa2);
  report = verify_image(user_bytes());
  EXPECT_EQ(std::vector<std::size_t>({report.total, report.values, report.free_nodes}),
            (std::vector<std::size_t>{0, 278984, 1}));
}

}  // namespace
