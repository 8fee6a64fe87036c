#include "tools/text_codec.h"

#include <iconv.h>

#include <cstdio>
#include <vector>

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

std::size_t code_points(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// Converts through iconv(3); nothing when any byte does not convert.
std::optional<std::string> convert(const char *to, const char *from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::vector<char> src(in.begin(), in.end());
  std::vector<char> dst(in.size() * 4 + 4);
  char *inp = src.data();
  std::size_t inleft = src.size();
  char *outp = dst.data();
  std::size_t outleft = dst.size();
  std::size_t r = iconv(cd, &inp, &inleft, &outp, &outleft);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || inleft != 0) return std::nullopt;
  return std::string(dst.data(), dst.size() - outleft);
}

}  // namespace

std::optional<std::string> to_euc(std::string_view utf8) {
  auto euc = convert("EUC-KR", "UTF-8", utf8);
  // Every character must become exactly one two-byte code: a converter that
  // spells a syllable as a jamo sequence or passes ASCII through is refused.
  if (!euc || !ks_string(*euc) || euc->size() != 2 * code_points(utf8)) return std::nullopt;
  return euc;
}

std::optional<std::string> to_utf8(std::string_view euc) {
  if (!ks_string(euc)) return std::nullopt;
  return convert("UTF-8", "EUC-KR", euc);
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
