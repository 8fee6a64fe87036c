#include "tools/text_codec.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "conv/code_pair.h"
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

// A NUL-terminated copy of `text` and room for the converted string: on the
// stack for the short strings pair files hold by the hundred thousand, on the
// heap for longer ones.
class Buffers {
 public:
  Buffers(std::string_view text, std::size_t out_size) {
    std::size_t need = text.size() + 1 + out_size;
    char *at = small_;
    if (need > sizeof small_) {
      large_.resize(need);
      at = large_.data();
    }
    text.copy(at, text.size());
    at[text.size()] = '\0';
    src_ = at;
    dst_ = at + text.size() + 1;
    dst_size_ = out_size;
  }
  const char *src() const { return src_; }
  char *dst() { return dst_; }
  std::size_t dst_size() const { return dst_size_; }

 private:
  char small_[512];
  std::vector<char> large_;
  const char *src_;
  char *dst_;
  std::size_t dst_size_;
};

// The packed UTF-8 code of each KS X 1001 character by row and cell, taken
// from the conversion table once: converting every character back by a second
// search would double the cost of reading a table of 300,000 lines.
std::uint32_t utf_of(unsigned char hi, unsigned char lo) {
  static const auto by_code = [] {
    std::array<std::uint32_t, 94 * 94> codes{};
    for (const CodePair &p : std::span(euc2utf_tbl, kEuc2UtfCount))
      if (ks_pair(static_cast<unsigned char>(p.euc >> 8), static_cast<unsigned char>(p.euc & 0xFF)))
        codes[((p.euc >> 8) - 0xA1) * 94 + (p.euc & 0xFF) - 0xA1] = p.utf;
    return codes;
  }();
  return by_code[(hi - 0xA1) * 94 + lo - 0xA1];
}

}  // namespace

std::optional<std::string> to_euc(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  if (utf8.find('\0') != std::string_view::npos) return std::nullopt;
  Buffers to(utf8, utf8.size() + 1);
  if (utfs2eucs_bounded(to.dst(), to.dst_size(), to.src()) <= 0) return std::nullopt;
  std::string_view euc(to.dst());
  if (!ks_string(euc)) return std::nullopt;
  // Every character must have become one two-byte KS X 1001 code that stands
  // for that very character: the tables also accept older spellings (the
  // Unicode 1.1 Hangul that are CJK extension A Hanja today), which would
  // store a rare Hanja as a Hangul syllable.
  for (std::size_t i = 0; i < euc.size(); i += 2) {
    char back[3];
    std::uint32_t utf = utf_of(static_cast<unsigned char>(euc[i]), static_cast<unsigned char>(euc[i + 1]));
    if (utf == 0 || unpack_utf8(utf, back) != 3 || utf8.substr(i / 2 * 3, 3) != std::string_view(back, 3)) return std::nullopt;
  }
  return std::string(euc);
}

std::optional<std::string> to_utf8(std::string_view euc) {
  if (euc.empty()) return std::string();
  if (!ks_string(euc)) return std::nullopt;
  Buffers to(euc, euc.size() / 2 * 3 + 1);
  if (eucs2utfs_bounded(to.dst(), to.dst_size(), to.src()) <= 0) return std::nullopt;
  return std::string(to.dst());
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
