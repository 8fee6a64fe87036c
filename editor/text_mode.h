// The running text mode: whether the widgets hand out and take in UTF-8 (and so
// every string to or from the dictionaries is converted) or EUC-KR (passed as is).
#pragma once
#include <optional>
#include <span>

enum class TextMode { euc, utf8 };

// The five LANG values the program runs under, in the order the locale gate tries them.
std::span<const char *const> accepted_locales();

// The text mode a LANG value selects, compared byte for byte; nullopt for a
// value (or a null pointer) outside the five accepted names.
std::optional<TextMode> text_mode_for(const char *lang);

// The mode in force now, read afresh from LANG on every call: UTF-8 mode exactly
// when LANG is "ko_KR.UTF-8" or "ko.UTF-8", EUC mode for anything else.
TextMode current_text_mode();
bool is_utf8_mode();
