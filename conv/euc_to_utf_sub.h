// EUC-KR to UTF-8 (packed three bytes), one character at a time.
#pragma once
#include <cstdint>

// The packed UTF-8 code of an EUC-KR code, or 0 when there is none.
std::uint32_t euc2utf(std::uint16_t euc);
