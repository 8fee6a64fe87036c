// 3-byte big-endian numbers, the only integer encoding of a dictionary file.
//
// Every offset in the file (slot contents, free-list heads, the end-of-data
// offset, node links) is an unsigned 24-bit number stored most significant
// byte first. These helpers are the one place that shifts those bytes.
#pragma once
#include <cstdint>

namespace be24 {

inline constexpr int kSize = 3;                 // bytes per stored number
inline constexpr std::uint32_t kMax = 0xFFFFFF;  // largest storable number

// Writes bits 16-23, 8-15 and 0-7 of v into dst[0..2]; higher bits are dropped.
// REQUIRES: dst has room for 3 bytes.
inline void encode(unsigned char *dst, std::uint32_t v) {
  dst[0] = static_cast<unsigned char>((v >> 16) & 0xFF);
  dst[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
  dst[2] = static_cast<unsigned char>(v & 0xFF);
}

// The number held in src[0..2]. REQUIRES: src has 3 readable bytes.
inline std::uint32_t decode(const unsigned char *src) {
  return (std::uint32_t{src[0]} << 16) | (std::uint32_t{src[1]} << 8) | std::uint32_t{src[2]};
}

}  // namespace be24
