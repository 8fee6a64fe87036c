// The dictionary file format, shared by the system and the user dictionary.
//
//   offset  size  field
//   ------  ----  -----------------------------------------------------------
//       0    12   signature "HWDICTIONARY" (no terminator)
//      12  5973   hash table: 1991 slots of 3 bytes, slot i at 12 + 3*i,
//                 holding the offset of the first node of chain i, or 0
//    5985    24   free-list heads: 8 entries of 3 bytes, class k at 5985 + 3*k
//    6009     3   end-of-data offset (= file length; next node is appended here)
//    6012   ...   nodes
//
// The free-list heads and the end-of-data offset form the nine-entry "avail"
// table; entry 8 is the end-of-data offset.
//
//   node:   1 byte    type/length: bit 7 set = key (reading), clear = value
//                     (Hanja word); bits 0-6 = string length L
//           L bytes   EUC-KR string, not terminated
//           3 bytes   link: next node of the chain (or of the free list), 0 = end
//
// All numbers are 3-byte big-endian offsets (be24.h); 0 means none because
// offset 0 holds the signature. A chain is a sequence of groups: a key node
// followed by its value nodes. A string of L bytes belongs to size class
// L/2 - 1; only even lengths 2..16 have one, and every written string has one.
#pragma once
#include <cstdint>
#include <string_view>

#include "dict/be24.h"

namespace dicfmt {

inline constexpr std::string_view kSignature = "HWDICTIONARY";
inline constexpr int kSignatureSize = static_cast<int>(kSignature.size());  // 12
inline constexpr int kSlotCount = 1991;
inline constexpr int kSizeClasses = 8;
inline constexpr int kAvailEntries = kSizeClasses + 1;  // free-list heads + end of data
inline constexpr int kEndOfDataEntry = kSizeClasses;    // avail entry 8

inline constexpr int kTableOffset = kSignatureSize;                           // 12
inline constexpr int kAvailOffset = kTableOffset + kSlotCount * be24::kSize;  // 5985
inline constexpr int kEndOfDataOffset = kAvailOffset + kEndOfDataEntry * be24::kSize;  // 6009
inline constexpr int kHeaderSize = kAvailOffset + kAvailEntries * be24::kSize;         // 6012
inline constexpr int kFirstNode = kHeaderSize;

inline constexpr int kMaxFileSize = static_cast<int>(be24::kMax);  // every offset fits 24 bits

// Node encoding.
inline constexpr int kKeyBit = 0x80;
inline constexpr int kLengthMask = 0x7F;
inline constexpr int kNodeKey = 1;    // in-memory node type of a key (reading) node
inline constexpr int kNodeValue = 2;  // in-memory node type of a value (Hanja word) node
inline constexpr int kNodeOverhead = 1 + be24::kSize;  // type/length byte + link
inline constexpr int kMinStored = 2;                   // shortest string with a size class
inline constexpr int kMaxStored = 2 * kSizeClasses;    // longest string with a size class (16)
inline constexpr int kMinNodeSize = kMinStored + kNodeOverhead;  // bounds every walk
// The longest string a reader accepts: what a 65-byte result row holds.
inline constexpr int kMaxReadable = 64;

inline constexpr int slot_offset(int slot) { return kTableOffset + slot * be24::kSize; }
inline constexpr int avail_offset(int entry) { return kAvailOffset + entry * be24::kSize; }
inline constexpr int node_size(int length) { return length + kNodeOverhead; }
inline constexpr int link_offset(int node, int length) { return node + 1 + length; }

// The size class of a string of `length` bytes, or -1 when it has none
// (empty, odd, or longer than 16 bytes).
inline constexpr int size_class(int length) {
  if (length < kMinStored || length > kMaxStored || length % 2 != 0) return -1;
  return length / 2 - 1;
}

// Whether a reading/word pair can be stored: both have a size class and the
// word has as many bytes as its reading (every node's space is its key's).
inline constexpr bool storable_pair(std::string_view key, std::string_view value) {
  return size_class(static_cast<int>(key.size())) >= 0 && value.size() == key.size();
}

}  // namespace dicfmt
