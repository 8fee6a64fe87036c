// The text mode is never stored: LANG is compared again whenever it is asked for.
#include "editor/text_mode.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Locale {
  const char *name;
  TextMode mode;
};

constexpr Locale kLocales[] = {
    {"ko", TextMode::euc},           {"ko_KR.EUC", TextMode::euc},  {"korean", TextMode::euc},
    {"ko_KR.UTF-8", TextMode::utf8}, {"ko.UTF-8", TextMode::utf8},
};

constexpr const char *kNames[] = {kLocales[0].name, kLocales[1].name, kLocales[2].name,
                                  kLocales[3].name, kLocales[4].name};
static_assert(std::size(kNames) == std::size(kLocales));

}  // namespace

std::span<const char *const> accepted_locales() { return kNames; }

std::optional<TextMode> text_mode_for(const char *lang) {
  if (lang == nullptr) return std::nullopt;
  for (const auto &l : kLocales)
    if (std::strcmp(lang, l.name) == 0) return l.mode;
  return std::nullopt;
}

TextMode current_text_mode() {
  return text_mode_for(std::getenv("LANG")).value_or(TextMode::euc);
}

bool is_utf8_mode() { return current_text_mode() == TextMode::utf8; }
