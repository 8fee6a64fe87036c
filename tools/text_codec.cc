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

// One conversion descriptor per direction, opened once: opening one costs far
// more than converting a short word.
class Converter {
 public:
  Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (usable()) iconv_close(cd_);
  }
  Converter(const Converter &) = delete;
  Converter &operator=(const Converter &) = delete;

  // Nothing when any byte does not convert.
  std::optional<std::string> operator()(std::string_view in) {
    if (!usable()) return std::nullopt;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    src_.assign(in.begin(), in.end());
    dst_.resize(in.size() * 4 + 4);
    char *inp = src_.data();
    std::size_t inleft = src_.size();
    char *outp = dst_.data();
    std::size_t outleft = dst_.size();
    std::size_t r = iconv(cd_, &inp, &inleft, &outp, &outleft);
    if (r == static_cast<std::size_t>(-1) || inleft != 0) return std::nullopt;
    return std::string(dst_.data(), dst_.size() - outleft);
  }

 private:
  bool usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
  std::vector<char> src_, dst_;
};

std::optional<std::string> utf8_to_euc(std::string_view in) {
  static Converter converter("EUC-KR", "UTF-8");
  return converter(in);
}

std::optional<std::string> euc_to_utf8(std::string_view in) {
  static Converter converter("UTF-8", "EUC-KR");
  return converter(in);
}

}  // namespace

std::optional<std::string> to_euc(std::string_view utf8) {
  auto euc = utf8_to_euc(utf8);
  // Every character must become exactly one two-byte code: a converter that
  // spells a syllable as a jamo sequence or passes ASCII through is refused.
  if (!euc || !ks_string(*euc) || euc->size() != 2 * code_points(utf8)) return std::nullopt;
  return euc;
}

std::optional<std::string> to_utf8(std::string_view euc) {
  if (!ks_string(euc)) return std::nullopt;
  return euc_to_utf8(euc);
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
