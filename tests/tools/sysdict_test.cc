// The default system dictionary as the build makes it from libhangul's table:
// every storable pair of the table, each reading's words in file order, in
// the chain layout (whose speed bench/lookup measures).
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
  std::map<std::string, std::vector<std::string>> readings;  // each with its words in file order
  DicBuilder builder;
  read_pair_file(in, [&](const StorablePair &p) {
    if (builder.add(p.reading, p.word) == DicBuilder::Result::added) readings[p.reading].push_back(p.word);
  }, nullptr);
  std::fclose(in);
  Bytes sys = read_file(GLOSSET_SYSDICT);
  EXPECT_TRUE(sys == chain_layout(builder.image()));
  VerifyReport report = verify_image(sys);
  EXPECT_EQ(Sizes({report.total, report.keys, report.values, report.free_nodes}), Sizes({0, 221540, 278984, 0}));
  setenv("SYSDICNAME", GLOSSET_SYSDICT, 1);
  for (const auto &[key, list] : readings) ASSERT_EQ(words(DIC_SYSTEM, key), list);
}

}  // namespace
