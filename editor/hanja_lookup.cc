// The lookup behind Find: key making, the two store calls, and the words
// turned into the running mode's encoding.
#include "editor/hanja_lookup.h"

#include <cstdio>
#include <cstring>

#include "dict/hanja_util.h"
#include "editor/builtin_text.h"
#include "editor/strconv.h"
#include "editor/text_mode.h"

namespace {

// A converter that writes a NUL-terminated result of at most `ratio` times the
// source length, run into a buffer sized for that bound.
template <typename Converter>
std::string convert(Converter converter, const char *src, size_t num, size_t den) {
  std::string dst(std::strlen(src) * num / den + 2, '\0');
  converter(dst.data(), src);
  dst.resize(std::strlen(dst.c_str()));
  return dst;
}

// A word the tables cannot show (bytes outside KS X 1001) as its EUC-KR bytes
// in hex, a pair to a group: "<A2E6 B0A1>". An empty item would hide it.
std::string hex_form(const char *euc) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out = "<";
  for (std::size_t i = 0; euc[i] != '\0'; i++) {
    if (i > 0 && i % 2 == 0) out += ' ';
    const auto b = static_cast<unsigned char>(euc[i]);
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
  }
  return out + ">";
}

// One dictionary's words, at most kMaxFoundWords, in store order.
std::vector<std::string> words_of(int type, const std::string &key, bool utf8) {
  char rows[kMaxFoundWords][kRowSize] = {};
  int count = 0;
  GetHanjaWord(type, key.c_str(), 0, kMaxFoundWords, &count, rows);
  if (count < 0) count = 0;
  if (count > kMaxFoundWords) count = kMaxFoundWords;

  std::vector<std::string> words;
  words.reserve(count);
  for (int i = 0; i < count; i++) {
    rows[i][kRowSize - 1] = '\0';
    // The same test in both modes: what the tables cannot convert, the EUC-KR
    // font set cannot draw either. A word longer than a 65-byte UTF-8 row is
    // shown whole.
    std::string utf = convert(eucs2utfs, rows[i], 3, 2);
    if (utf.empty() && rows[i][0] != '\0') {
      words.push_back(hex_form(rows[i]));
    } else {
      words.push_back(utf8 ? std::move(utf) : std::string(rows[i]));
    }
  }
  return words;
}

}  // namespace

bool make_reading_key(const char *field_text, std::string *key) {
  if (field_text == nullptr || *field_text == '\0') return false;
  std::string euc = is_utf8_mode() ? convert(utfs2eucs, field_text, 2, 3) : std::string(field_text);
  // Longer than any reading the store writes: there is nothing to find, and the
  // store's 65-byte key must not be overrun.
  if (euc.empty() || euc.size() > static_cast<size_t>(kRowSize - 1)) return false;
  *key = std::move(euc);
  return true;
}

FoundWords look_up_reading(const char *field_text) {
  FoundWords found;
  std::string key;
  if (!make_reading_key(field_text, &key)) return found;
  bool utf8 = is_utf8_mode();
  found.user = words_of(DIC_USER, key, utf8);
  found.system = words_of(DIC_SYSTEM, key, utf8);
  return found;
}

std::string find_report(int user_count, int system_count) {
  char report[100];
  // usrhjd에 %d가지 와 syshjd에 %d가지가 있음.
  std::snprintf(report, sizeof report,
                "usrhjd\xbf\xa1 %d\xb0\xa1\xc1\xf6 \xbf\xcd syshjd\xbf\xa1 %d\xb0\xa1\xc1\xf6\xb0\xa1 \xc0\xd6\xc0\xbd.",
                user_count, system_count);
  return builtin_text(report);
}
