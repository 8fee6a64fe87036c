// The chain layout: every chain's nodes next to each other, chain after chain,
// answering every lookup, check and pair walk as the insertion layout does.
#include <random>

#include "dict/dic_builder.h"
#include "dict/dic_layout.h"
#include "dict/dic_verify.h"
#include "dict/dic_walk.h"
#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/dict/dict_test_util.h"

namespace {

using namespace dicttest;

struct Walked {
  int slot;
  std::string key, value;
  bool operator==(const Walked &) const = default;
};

std::vector<Walked> walk(int type) {
  std::vector<Walked> out;
  walk_pairs(type, [&](const DicPair &p) { out.push_back({p.slot, std::string(p.key), std::string(p.value)}); });
  return out;
}

std::vector<std::string> lookup(int type, const std::string &key, int skip, int max) {
  char rows[20][kRowSize];
  int count = 0;
  GetHanjaWord(type, key.c_str(), skip, max, &count, rows);
  return std::vector<std::string>(rows, rows + count);
}

// The offsets of chain `slot`'s nodes in link order.
std::vector<int> chain_nodes(const Bytes &b, int slot) {
  std::vector<int> nodes;
  for (int at = num_at(b, 12 + 3 * static_cast<std::size_t>(slot)); at != 0 && nodes.size() < b.size();
       at = num_at(b, static_cast<std::size_t>(at) + 1 + (b.at(static_cast<std::size_t>(at)) & 0x7F)))
    nodes.push_back(at);
  return nodes;
}

int node_end(const Bytes &b, int at) { return at + 1 + (b.at(static_cast<std::size_t>(at)) & 0x7F) + 3; }

class LayoutTest : public HomeDir {
 protected:
  // Builds the pairs; the insertion layout becomes the user dictionary, the
  // chain layout the system dictionary.
  Bytes build(const std::vector<std::pair<std::string, std::string>> &pairs) {
    DicBuilder builder;
    for (const auto &[k, v] : pairs) builder.add(k, v);
    write_file(user_dic(), builder.image());
    Bytes chain = chain_layout(builder.image());
    write_file(home_ / "chain.hjd", chain);
    setenv("SYSDICNAME", (home_ / "chain.hjd").c_str(), 1);
    return chain;
  }
};

TEST_F(LayoutTest, EmptyAndSingleChainFilesAreLaidOutAlready) {
  EXPECT_EQ(chain_layout(DicBuilder().image()), DicBuilder().image());
  DicBuilder one;
  one.add(kHanja, kHanjaW);
  one.add(kHanja, kGa1 + kGa2);
  EXPECT_EQ(chain_layout(one.image()), one.image());
}

TEST_F(LayoutTest, ChainsLieWholeInSlotOrder) {
  // 가 and "0!" share slot 976; 가나 is in 403, 한자 in 1713. Inserted interleaved.
  Bytes b = build({{kGa, kGa1}, {kHanja, kHanjaW}, {"0!", "1!"}, {kGaNa, kGa1 + kGa2}, {kGa, kGa2}, {"0!", "2!"},
                   {kGa, kGa3}});
  EXPECT_EQ(b.size(), user_bytes().size());
  EXPECT_EQ(num_at(b, 6009), static_cast<int>(b.size()));
  int expected_start = 6012;
  for (int slot = 0; slot < 1991; ++slot) {
    std::vector<int> nodes = chain_nodes(b, slot);
    for (int at : nodes) {
      EXPECT_EQ(at, expected_start) << "slot " << slot;
      expected_start = node_end(b, at);
    }
  }
  EXPECT_EQ(expected_start, static_cast<int>(b.size()));
  // Slot 976 holds 가 with its three words, then "0!" with its two.
  std::vector<int> nodes = chain_nodes(b, 976);
  ASSERT_EQ(nodes.size(), 7u);
  EXPECT_EQ(b.at(static_cast<std::size_t>(nodes[0])), 0x82);
  EXPECT_EQ(b.at(static_cast<std::size_t>(nodes[4])), 0x82);
  EXPECT_EQ(walk(DIC_SYSTEM), walk(DIC_USER));
}

TEST_F(LayoutTest, RandomPairsAnswerAlikeInBothLayouts) {
  std::mt19937 rng(11);
  const std::string readings[] = {kGa, "0!", "\xB0!", kGaNa, kHanja, "\xB3\xAA", "\xB4\xD9\xB0\xA1\xB3\xAA"};
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < 300; ++i) {
    const std::string &key = readings[rng() % 7];
    std::string value;
    while (value.size() < key.size()) value += '\xCA', value += static_cast<char>(0xA1 + rng() % 12);
    pairs.emplace_back(key, value);
  }
  build(pairs);
  EXPECT_TRUE(verify_image(read_file(home_ / "chain.hjd")).sound());
  EXPECT_EQ(walk(DIC_SYSTEM), walk(DIC_USER));
  for (const std::string &key : readings) {
    for (int skip : {0, 1, 5}) EXPECT_EQ(lookup(DIC_SYSTEM, key, skip, 10), lookup(DIC_USER, key, skip, 10));
  }
  for (const auto &[k, v] : pairs) EXPECT_EQ(CheckDic(DIC_SYSTEM, k.c_str(), v.c_str()), 1);
  EXPECT_EQ(CheckDic(DIC_SYSTEM, kGa.c_str(), kHanjaW.c_str()), CheckDic(DIC_USER, kGa.c_str(), kHanjaW.c_str()));
}

TEST_F(LayoutTest, AChainAcrossABufferBoundaryIsFollowed) {
  // Nodes of 20 bytes from 6012: the 109th ends exactly at 8192, a stream
  // buffer's boundary, and the chain goes on behind it with a second key of
  // the same slot (the hash ignores bit 7).
  const std::string first(16, '\xB0');
  std::string second = first;
  second[0] = '\x30';
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < 108; ++i) {
    std::string word(16, '\xCA');
    word[14] = static_cast<char>(0xA1 + i / 90);
    word[15] = static_cast<char>(0xA1 + i % 90);
    pairs.emplace_back(first, word);
  }
  pairs.emplace_back(second, std::string(16, '\xCB'));
  pairs.emplace_back(second, std::string(16, '\xCC'));
  Bytes b = build(pairs);
  ASSERT_EQ(node_end(b, chain_nodes(b, hash(first.c_str()))[108]), 8192);
  EXPECT_EQ(lookup(DIC_SYSTEM, second, 0, 10), (std::vector<std::string>{std::string(16, '\xCB'), std::string(16, '\xCC')}));
  EXPECT_EQ(lookup(DIC_SYSTEM, first, 100, 10).size(), 8u);
  EXPECT_EQ(CheckDic(DIC_SYSTEM, second.c_str(), std::string(16, '\xCC').c_str()), 1);
}

TEST_F(LayoutTest, LaterChangesWorkAsUsual) {
  build({{kGa, kGa1}, {"0!", "1!"}, {kGa, kGa2}, {kHanja, kHanjaW}});
  // The chain layout as the user dictionary, changed in place.
  std::filesystem::copy_file(home_ / "chain.hjd", user_dic(), std::filesystem::copy_options::overwrite_existing);
  EXPECT_EQ(InsertHanjaWord(DIC_USER, kGa.c_str(), kGa3.c_str()), 0);
  EXPECT_EQ(InsertHanjaWord(DIC_USER, kGaNa.c_str(), (kGa1 + kGa3).c_str()), 0);
  EXPECT_EQ(DeleteHanjaWord(DIC_USER, "0!", "1!"), 1);
  EXPECT_EQ(lookup(DIC_USER, kGa, 0, 10), (std::vector<std::string>{kGa1, kGa2, kGa3}));
  EXPECT_EQ(lookup(DIC_USER, kGaNa, 0, 10), std::vector<std::string>{kGa1 + kGa3});
  EXPECT_EQ(lookup(DIC_USER, "0!", 0, 10).size(), 0u);
  EXPECT_EQ(lookup(DIC_USER, kHanja, 0, 10), std::vector<std::string>{kHanjaW});
  VerifyReport report = verify_image(user_bytes());
  EXPECT_TRUE(report.sound()) << (report.problems.empty() ? "" : report.problems.front());
}

}  // namespace
