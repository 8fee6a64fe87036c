// UTF-8 (packed three bytes) to EUC-KR, one character at a time.
#pragma once
#include <cstdint>

// The EUC-KR code (lead byte high) of a packed UTF-8 code, or 0 when there is none.
std::uint16_t utf2euc(std::uint32_t packed_utf8);
