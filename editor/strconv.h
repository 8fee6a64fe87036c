// Whole-string conversion between UTF-8 and EUC-KR: a module of its own in the
// X-free text library (glosset_text), used by Find, Add, Modify and Delete and
// by glosset-dict.
#pragma once
#include <cstddef>
#include <cstdint>

// Both return the number of characters converted; 0 for an empty source and on
// failure, in which case the destination is left a terminated (empty) string.
// The destination must hold 2/3 (utfs2eucs) or 3/2 (eucs2utfs) of the source
// length plus one byte.
//
// utfs2eucs takes the source in groups of three bytes, each of which must be a
// key of the table; eucs2utfs takes groups of two.  Neither passes ASCII through.
int utfs2eucs(char *dst, const char *src);
int eucs2utfs(char *dst, const char *src);

// The same conversions into a buffer of dst_size bytes.  When the whole result
// and its terminator do not fit, the destination is left empty and the result
// is kStrconvTooLong; nothing is ever written past dst_size.
inline constexpr int kStrconvTooLong = -1;
int utfs2eucs_bounded(char *dst, std::size_t dst_size, const char *src);
int eucs2utfs_bounded(char *dst, std::size_t dst_size, const char *src);

// Writes the UTF-8 bytes of a packed UTF-8 code to out and returns how many
// (2 or 3).  Characters below U+0800, which the tables hold in the overlong
// form E0 80..9F xx, come out in their standard two-byte form.
int unpack_utf8(std::uint32_t packed, char out[3]);
