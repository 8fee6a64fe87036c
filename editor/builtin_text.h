// The program's fixed Korean texts (footer reports, focus hints, the built-in
// defaults of catalog messages) are written as EUC-KR bytes with ASCII among
// them.  builtin_text gives such a text in the encoding of the running text mode.
#pragma once
#include <string>
#include <string_view>

#include "editor/text_mode.h"

// In EUC mode the bytes come back unchanged.  In UTF-8 mode ASCII bytes are
// passed through and each two-byte EUC-KR character is converted through the
// same tables as the string converters (characters below U+0800 in their
// standard two-byte form), so the result is always valid UTF-8.
std::string builtin_text(std::string_view euc_text, TextMode mode);
std::string builtin_text(std::string_view euc_text);
// Reads up to the terminating NUL; a null pointer gives the empty string.
std::string builtin_text(const char *euc_text);
