#include "tools/echo.h"

#include <cstdio>
#include <vector>

namespace cli {
namespace {

// The length of the UTF-8 sequence at the start of `s`, 0 when it is not one.
std::size_t utf8_length(std::string_view s) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char lead = byte(0);
  std::size_t n = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
  if (n == 0 || n > s.size() || (n == 2 && lead < 0xC2)) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  return n;
}

std::string escaped_byte(unsigned char c) {
  switch (c) {
    case '\n': return "\\n";
    case '\t': return "\\t";
    case '\r': return "\\r";
    case '\\': return "\\\\";
    default: {
      char esc[5];
      std::snprintf(esc, sizeof esc, "\\x%02X", c);
      return esc;
    }
  }
}

}  // namespace

std::string shown(std::string_view arg, std::size_t max_chars) {
  // One piece per character as shown: a whole UTF-8 character or an escape.
  std::vector<std::string> pieces;
  for (std::size_t i = 0; i < arg.size();) {
    unsigned char c = static_cast<unsigned char>(arg[i]);
    std::size_t n = utf8_length(arg.substr(i));
    bool control = c < 0x20 || c == 0x7F || c == '\\' ||
                   (n == 2 && c == 0xC2 && static_cast<unsigned char>(arg[i + 1]) < 0xA0);
    if (n == 0 || control) {
      for (std::size_t j = 0; j < (n == 0 ? 1 : n); ++j) pieces.push_back(escaped_byte(static_cast<unsigned char>(arg[i + j])));
      i += n == 0 ? 1 : n;
    } else {
      pieces.emplace_back(arg.substr(i, n));
      i += n;
    }
  }
  std::string out;
  if (pieces.size() <= max_chars || max_chars < 2) {
    for (const std::string &p : pieces) out += p;
    return out;
  }
  std::size_t head = (max_chars - 1) / 2;
  std::size_t tail = max_chars - 1 - head;
  for (std::size_t i = 0; i < head; ++i) out += pieces[i];
  out += "\xE2\x80\xA6";  // …
  for (std::size_t i = pieces.size() - tail; i < pieces.size(); ++i) out += pieces[i];
  return out;
}

}  // namespace cli
