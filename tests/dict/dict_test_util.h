// Test helpers of the store: its headers, a private home directory holding
// the user dictionary, byte-level access to the file, and lookups as lists.
#pragma once
#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "dict/dic_builder.h"
#include "dict/dic_verify.h"
#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/support/scratch.h"

namespace dicttest {

using Bytes = std::vector<unsigned char>;
using Sizes = std::vector<std::size_t>;

// EUC-KR spellings: 가, 가나, 한자, 漢字, 家, 價, 佳.
inline const std::string kGa = "\xB0\xA1", kGaNa = "\xB0\xA1\xB3\xAA", kHanja = "\xC7\xD1\xC0\xDA",
                         kHanjaW = "\xF9\xD3\xED\xAE", kGa1 = "\xCA\xAB", kGa2 = "\xCA\xA4", kGa3 = "\xCA\xA2";

inline Bytes read_file(const std::filesystem::path &p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void write_file(const std::filesystem::path &p, const Bytes &b) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char *>(b.data()), static_cast<long>(b.size()));
}

// The 3-byte big-endian numbers at `offsets`, decoded here on purpose without the store's helpers.
inline int num_at(const Bytes &b, std::size_t at) { return b.at(at) << 16 | b.at(at + 1) << 8 | b.at(at + 2); }
inline std::vector<int> nums(const Bytes &b, std::initializer_list<int> offsets) {
  std::vector<int> out;
  for (int at : offsets) out.push_back(num_at(b, static_cast<std::size_t>(at)));
  return out;
}

// Takes a lock of `type` (F_WRLCK: the one a change holds) on the whole file of `fd`, by `how` (F_SETLK, F_OFD_SETLK).
inline bool lock(int fd, int how, short type) {
  struct flock l {};
  l.l_type = type, l.l_whence = SEEK_SET;
  return fcntl(fd, how, &l) == 0;
}

inline void set_num(Bytes &b, std::size_t at, int v) { b.at(at) = v >> 16, b.at(at + 1) = v >> 8, b.at(at + 2) = v; }

// Words skip+1 .. skip+max of `key` (none when the file cannot be opened).
inline std::vector<std::string> words(int type, const std::string &key, int skip = 0, int max = 100) {
  char rows[100][kRowSize];
  int count = -1, n = GetHanjaWord(type, key.c_str(), skip, max, &count, rows);
  EXPECT_EQ(std::max(n, 0), count);
  return std::vector<std::string>(rows, rows + std::max(n, 0));
}

// HOME is a fresh directory and the user dictionary "$HOME/.usrhjd"; the
// environment is put back afterwards.
class HomeDir : public ::testing::Test {
 protected:
  std::filesystem::path user_dic() const { return home_ / ".usrhjd"; }
  Bytes user_bytes() const { return read_file(user_dic()); }

  scratch::Dir dir_;
  std::filesystem::path home_{dir_.path()};
  scratch::Env env_[3] = {{"HOME", dir_.path().c_str()}, {"USRDICNAME", nullptr}, {"SYSDICNAME", nullptr}};
};

}  // namespace dicttest
