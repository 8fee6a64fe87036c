// Building a whole dictionary image in memory.
//
// DicBuilder lays out pairs exactly as inserting them one by one would
// (InsertHanjaWord: keys appended to the end of their chain, values after
// their key's last value, each node taken from the free list of its size
// class or else appended at the end of data), so that a built file is
// byte-identical to one made pair by pair, without a file open per pair. It
// starts from an empty dictionary or from the image of a sound one.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dict/dic_format.h"

class DicBuilder {
 public:
  enum class Result {
    added,    // the pair is new and was laid out
    present,  // the pair was there already; nothing changed
    refused,  // no size class, or the word's length differs from the reading's
    full,     // the dictionary would outgrow 24-bit offsets
  };

  DicBuilder();
  // Starts from `image`, which must check sound (verify_image): false, with
  // the builder left empty, when a chain or free list cannot be followed.
  bool load(std::vector<unsigned char> image);

  // Adds one pair of EUC-KR strings.
  Result add(std::string_view key, std::string_view value);

  // The file as it stands: header, then every node in the order it was laid out.
  const std::vector<unsigned char> &image() const { return image_; }
  std::size_t pairs() const { return pairs_; }
  std::size_t keys() const { return keys_.size(); }
  // Makes room for about `keys` readings and `bytes` of file, so that a large
  // build does not grow its tables step by step.
  void reserve(std::size_t keys, std::size_t bytes);

 private:
  struct KeyState {
    int last_link_field;  // link of the key's last value: where a new value hangs
    int first_value;      // the key's values follow each other by their links from here
    int values;
  };
  // Looks keys up by string_view, without a temporary string per pair.
  struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };

  // Writes a node where the next one of its size class goes: the head of the
  // class's free list, or the end of data.
  int place_node(int type, std::string_view str, int link);
  // What the head of free list `k` links to (0 when the list is empty).
  int free_next(int k, int length) const;
  int read_number(int offset) const;
  void write_number(int offset, int value);

  std::vector<unsigned char> image_;
  std::array<int, dicfmt::kSlotCount> chain_end_{};  // field a new key of each slot hangs from
  std::array<int, dicfmt::kSizeClasses> free_head_{};
  std::unordered_map<std::string, KeyState, KeyHash, std::equal_to<>> keys_;
  KeyState *last_ = nullptr;   // the key added to last (elements of keys_ never move)
  std::string_view last_key_;  // its string, the map's own copy
  std::size_t pairs_ = 0;
};
