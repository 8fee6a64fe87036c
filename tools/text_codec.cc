#include "tools/text_codec.h"

#include <cstdio>
#include <vector>

#include "editor/strconv.h"

namespace textcodec {
namespace {

bool ks_pair(unsigned char hi, unsigned char lo) {
  if (hi < 0xA1 || hi > 0xFE || lo < 0xA1 || lo > 0xFE) return false;
  return !(hi == 0xA2 && lo >= 0xE6 && lo <= 0xE8);
}

bool ks_string(std::string_view euc) {
  if (euc.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < euc.size(); i += 2)
    if (!ks_pair(static_cast<unsigned char>(euc[i]), static_cast<unsigned char>(euc[i + 1]))) return false;
  return true;
}

}  // namespace

std::optional<std::string> to_euc(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  if (utf8.find('\0') != std::string_view::npos) return std::nullopt;
  std::string src(utf8);
  std::vector<char> dst(utf8.size() + 1);
  if (utfs2eucs_bounded(dst.data(), dst.size(), src.c_str()) <= 0) return std::nullopt;
  std::string euc(dst.data());
  // Every character must have become one two-byte KS X 1001 code that stands
  // for that very character: the tables also accept older spellings (the
  // Unicode 1.1 Hangul that are CJK extension A Hanja today), which would
  // store a rare Hanja as a Hangul syllable.
  if (!ks_string(euc) || to_utf8(euc) != src) return std::nullopt;
  return euc;
}

std::optional<std::string> to_utf8(std::string_view euc) {
  if (euc.empty()) return std::string();
  if (!ks_string(euc)) return std::nullopt;
  std::string src(euc);
  std::vector<char> dst(euc.size() / 2 * 3 + 1);
  if (eucs2utfs_bounded(dst.data(), dst.size(), src.c_str()) <= 0) return std::nullopt;
  return std::string(dst.data());
}

std::string printable(std::string_view euc) {
  if (auto utf8 = to_utf8(euc)) return *utf8;
  std::string out;
  for (unsigned char c : euc) {
    char esc[5];
    std::snprintf(esc, sizeof esc, "\\x%02X", c);
    out += esc;
  }
  return out;
}

}  // namespace textcodec
