// The string converters: UTF-8 in groups of three bytes, EUC-KR in groups of two,
// each group looked up in the mapping tables of conv/.
#include "editor/strconv.h"

#include <cstdint>

#include "conv/euc_to_utf_sub.h"
#include "conv/utf_to_euc_sub.h"

namespace {

constexpr std::size_t kUnbounded = SIZE_MAX;

int fail(char *dst) {
  dst[0] = '\0';
  return 0;
}

// Requires dst_size >= 1.
int to_euc(char *dst, std::size_t dst_size, const char *src) {
  const auto *s = reinterpret_cast<const unsigned char *>(src);
  std::size_t out = 0;
  int count = 0;
  // Only the three-byte forms are keys, so that the output never exceeds 2/3 of
  // the input and callers' buffers sized for that stay safe.
  while (*s != 0) {
    if (s[1] == 0 || s[2] == 0) return fail(dst);
    const std::uint16_t euc = utf2euc(std::uint32_t{s[0]} << 16 | std::uint32_t{s[1]} << 8 | s[2]);
    if (euc == 0) return fail(dst);
    if (dst_size - out < 3) {
      fail(dst);
      return kStrconvTooLong;
    }
    dst[out++] = static_cast<char>(euc >> 8);
    dst[out++] = static_cast<char>(euc & 0xFF);
    ++count;
    s += 3;
  }
  dst[out] = '\0';
  return count;
}

// Requires dst_size >= 1.
int to_utf(char *dst, std::size_t dst_size, const char *src) {
  const auto *s = reinterpret_cast<const unsigned char *>(src);
  std::size_t out = 0;
  int count = 0;
  while (*s != 0) {
    if (s[1] == 0) return fail(dst);
    const std::uint32_t utf = euc2utf(static_cast<std::uint16_t>(s[0] << 8 | s[1]));
    if (utf == 0) return fail(dst);
    char bytes[3];  // widgets get standard UTF-8: below U+0800 in two bytes
    const int n = unpack_utf8(utf, bytes);
    if (dst_size - out < static_cast<std::size_t>(n) + 1) {
      fail(dst);
      return kStrconvTooLong;
    }
    for (int i = 0; i < n; ++i) dst[out++] = bytes[i];
    ++count;
    s += 2;
  }
  dst[out] = '\0';
  return count;
}

}  // namespace

int unpack_utf8(std::uint32_t packed, char out[3]) {
  const unsigned b0 = packed >> 16 & 0xFF, b1 = packed >> 8 & 0xFF, b2 = packed & 0xFF;
  if (b0 == 0xE0 && b1 < 0xA0) {  // overlong: the character is below U+0800
    const unsigned cp = (b1 & 0x3F) << 6 | (b2 & 0x3F);
    out[0] = static_cast<char>(0xC0 | cp >> 6);
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  out[0] = static_cast<char>(b0);
  out[1] = static_cast<char>(b1);
  out[2] = static_cast<char>(b2);
  return 3;
}

int utfs2eucs(char *dst, const char *src) {
  if (dst == nullptr) return 0;
  if (src == nullptr) return fail(dst);
  return to_euc(dst, kUnbounded, src);
}

int eucs2utfs(char *dst, const char *src) {
  if (dst == nullptr) return 0;
  if (src == nullptr) return fail(dst);
  return to_utf(dst, kUnbounded, src);
}

int utfs2eucs_bounded(char *dst, std::size_t dst_size, const char *src) {
  if (dst == nullptr || dst_size == 0) return 0;
  if (src == nullptr) return fail(dst);
  return to_euc(dst, dst_size, src);
}

int eucs2utfs_bounded(char *dst, std::size_t dst_size, const char *src) {
  if (dst == nullptr || dst_size == 0) return 0;
  if (src == nullptr) return fail(dst);
  return to_utf(dst, dst_size, src);
}
