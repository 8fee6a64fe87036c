// Test helpers: a private home directory holding the user dictionary, and
// byte-level access to the file for checking and damaging it.
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace dicttest {

using Bytes = std::vector<unsigned char>;

// EUC-KR spellings used throughout the tests.
inline const std::string kGa = "\xB0\xA1";               // 가
inline const std::string kGaNa = "\xB0\xA1\xB3\xAA";     // 가나
inline const std::string kHanja = "\xC7\xD1\xC0\xDA";    // 한자
inline const std::string kHanjaW = "\xF9\xD3\xED\xAE";   // 漢字
inline const std::string kGa1 = "\xCA\xAB";              // 家
inline const std::string kGa2 = "\xCA\xA4";              // 價
inline const std::string kGa3 = "\xCA\xA2";              // 佳

inline Bytes read_file(const std::filesystem::path &p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void write_file(const std::filesystem::path &p, const Bytes &b) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(b.data()), static_cast<std::streamsize>(b.size()));
}

// The 3-byte big-endian number at `offset`, decoded here on purpose without
// the store's helpers.
inline int num_at(const Bytes &b, std::size_t offset) {
  return (b.at(offset) << 16) | (b.at(offset + 1) << 8) | b.at(offset + 2);
}

inline void set_num(Bytes &b, std::size_t offset, int v) {
  b.at(offset) = static_cast<unsigned char>(v >> 16);
  b.at(offset + 1) = static_cast<unsigned char>(v >> 8);
  b.at(offset + 2) = static_cast<unsigned char>(v);
}

// A fixture whose HOME is a fresh directory and whose user dictionary is
// "$HOME/.usrhjd"; the environment is put back afterwards.
class HomeDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/glosset-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    home_ = tmpl;
    save("HOME");
    save("USRDICNAME");
    save("SYSDICNAME");
    setenv("HOME", home_.c_str(), 1);
    unsetenv("USRDICNAME");
    unsetenv("SYSDICNAME");
  }
  void TearDown() override {
    for (auto &[name, value] : saved_) {
      if (value.first) setenv(name.c_str(), value.second.c_str(), 1); else unsetenv(name.c_str());
    }
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
  }
  std::filesystem::path user_dic() const { return home_ / ".usrhjd"; }
  Bytes user_bytes() const { return read_file(user_dic()); }

  std::filesystem::path home_;

 private:
  void save(const char *name) {
    const char *v = std::getenv(name);
    saved_.push_back({name, {v != nullptr, v ? v : ""}});
  }
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};

}  // namespace dicttest
