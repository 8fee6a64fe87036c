// Random add/del/mod sequences through the store, compared byte for byte
// with the independent model after every step.
#include <random>

#include "dict/dic_builder.h"
#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/dict/dic_model.h"
#include "tests/dict/dict_test_util.h"

namespace {

using namespace dicttest;

// Readings chosen so that several share slot 976 with different lengths.
std::vector<std::string> readings() {
  std::vector<std::string> keys = {kGa, "0!", "\xB0!", kGaNa, kHanja, "\xB3\xAA", "\xB4\xD9\xB0\xA1\xB3\xAA",
                                   std::string(16, '\xC1')};
  for (int len : {4, 6, 8}) {
    std::string prefix;
    for (int i = 0; i + 2 < len; i += 2) prefix += kGa;
    for (int lo = 0xA1, found = 0; lo <= 0xFE && found < 2; ++lo)
      for (int hi = 0xB0; hi <= 0xC8 && found < 2; ++hi) {
        std::string k = prefix + static_cast<char>(hi) + static_cast<char>(lo);
        if (hash(k.c_str()) == 976) keys.push_back(k), ++found;
      }
  }
  return keys;
}

std::string word(std::mt19937 &rng, std::size_t length) {
  static const char codes[] = {'\xA1', '\xA2', '\xA4', '\xAB'};
  std::string w;
  while (w.size() < length) w += '\xCA', w += codes[rng() % 4];
  return w;
}

class ModelTest : public HomeDir, public ::testing::WithParamInterface<unsigned> {};

TEST_P(ModelTest, RandomSequencesMatchTheModel) {
  std::mt19937 rng(GetParam());
  std::vector<std::string> keys = readings();
  ASSERT_GE(keys.size(), 12u);
  dicmodel::Model model;
  init();
  ASSERT_EQ(user_bytes(), model.bytes());
  for (int step = 0; step < 600; ++step) {
    const std::string &key = keys[rng() % keys.size()];
    // Now and then a word of the wrong length, which both must refuse.
    std::size_t length = rng() % 20 == 0 ? key.size() + 2 : key.size();
    std::string a = word(rng, length), b = word(rng, key.size());
    int op = static_cast<int>(rng() % 10);
    int got, want;
    if (op < 5) {
      got = InsertHanjaWord(0, key.c_str(), a.c_str());
      want = model.add(key, a);
    } else if (op < 8) {
      got = DeleteHanjaWord(0, key.c_str(), b.c_str());
      want = model.del(key, b);
    } else {
      got = UpdateHanjaWord(0, key.c_str(), b.c_str(), a.c_str());
      want = model.mod(key, b, a);
    }
    ASSERT_EQ(got, want) << "step " << step << " op " << op;
    ASSERT_EQ(user_bytes(), model.bytes()) << "step " << step << " op " << op;
  }
  // Many pairs at once, as import lays them out in memory on the file as it
  // now is (free lists and all), give the bytes of adding them one by one.
  DicBuilder builder;
  ASSERT_TRUE(builder.load(user_bytes()));
  for (int i = 0; i < 200; ++i) {
    const std::string &key = keys[rng() % keys.size()];
    std::string a = word(rng, rng() % 20 == 0 ? key.size() + 2 : key.size());
    DicBuilder::Result r = builder.add(key, a);
    ASSERT_EQ(r == DicBuilder::Result::refused ? -1 : 0, model.add(key, a)) << "pair " << i;
  }
  ASSERT_EQ(builder.image(), model.bytes());
}

INSTANTIATE_TEST_SUITE_P(Seeds, ModelTest, ::testing::Values(1u, 2u, 3u, 4u, 5u));

}  // namespace
