// Built-in EUC-KR texts in the running mode's encoding.
#include "editor/builtin_text.h"

#include <cstdint>

#include "conv/euc_to_utf_sub.h"
#include "editor/strconv.h"

namespace {

std::string to_utf8(std::string_view euc) {
  std::string out;
  out.reserve(euc.size() * 3 / 2);
  for (std::size_t i = 0; i < euc.size();) {
    const auto b = static_cast<unsigned char>(euc[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    const bool pair = i + 1 < euc.size() && static_cast<unsigned char>(euc[i + 1]) >= 0x80;
    const std::uint32_t utf =
        pair ? euc2utf(static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(euc[i + 1])))
             : 0;
    if (utf != 0) {
      char bytes[3];
      out.append(bytes, static_cast<std::size_t>(unpack_utf8(utf, bytes)));
    } else {
      out += '?';  // a byte pair outside the table still shows that something is there
    }
    i += pair ? 2 : 1;
  }
  return out;
}

}  // namespace

std::string builtin_text(std::string_view euc_text, TextMode mode) {
  return mode == TextMode::utf8 ? to_utf8(euc_text) : std::string(euc_text);
}

std::string builtin_text(std::string_view euc_text) {
  return builtin_text(euc_text, current_text_mode());
}

std::string builtin_text(const char *euc_text) {
  return euc_text == nullptr ? std::string() : builtin_text(std::string_view(euc_text));
}
