#include "dict/dic_builder.h"

#include <algorithm>
#include <cstring>

#include "dict/be24.h"
#include "dict/dic_node.h"
#include "dict/hanja_util.h"

DicBuilder::DicBuilder() : image_(dicfmt::kHeaderSize, 0) {
  std::memcpy(image_.data(), dicfmt::kSignature.data(), dicfmt::kSignature.size());
  for (int slot = 0; slot < dicfmt::kSlotCount; ++slot) chain_end_[slot] = dicfmt::slot_offset(slot);
  write_number(dicfmt::kEndOfDataOffset, dicfmt::kHeaderSize);
}

void DicBuilder::reserve(std::size_t keys, std::size_t bytes) {
  keys_.reserve(keys);
  image_.reserve(bytes);
}

int DicBuilder::read_number(int offset) const { return static_cast<int>(be24::decode(&image_[offset])); }

void DicBuilder::write_number(int offset, int value) {
  be24::encode(&image_[offset], static_cast<std::uint32_t>(value));
}

int DicBuilder::free_next(int k, int length) const {
  return free_head_[k] == 0 ? 0 : read_number(dicfmt::link_offset(free_head_[k], length));
}

int DicBuilder::place_node(int type, std::string_view str, int link) {
  int length = static_cast<int>(str.size());
  int k = dicfmt::size_class(length);
  dicnode::Placement p = dicnode::place(length, free_head_[k], free_next(k, length), static_cast<int>(image_.size()));
  if (p.node == static_cast<int>(image_.size())) image_.resize(static_cast<std::size_t>(p.avail_value));
  write_number(p.avail_offset, p.avail_value);
  if (p.avail_offset != dicfmt::kEndOfDataOffset) free_head_[k] = p.avail_value;
  dicnode::encode(&image_[static_cast<std::size_t>(p.node)], type, str, link);
  return p.node;
}

bool DicBuilder::load(std::vector<unsigned char> image) {
  *this = DicBuilder();
  if (image.size() < static_cast<std::size_t>(dicfmt::kHeaderSize)) return false;
  image_ = std::move(image);
  long size = static_cast<long>(image_.size());
  auto node_ok = [&](int at) { return at >= dicfmt::kFirstNode && at + dicfmt::kMinNodeSize <= size; };
  for (int k = 0; k < dicfmt::kSizeClasses; ++k) free_head_[k] = read_number(dicfmt::avail_offset(k));
  for (int slot = 0; slot < dicfmt::kSlotCount; ++slot) {
    int field = dicfmt::slot_offset(slot);
    KeyState *state = nullptr;
    for (long steps = size / dicfmt::kMinNodeSize + 1; read_number(field) != 0; --steps) {
      int at = read_number(field);
      if (steps == 0 || !node_ok(at)) {
        *this = DicBuilder();
        return false;
      }
      dicnode::Head head = dicnode::head(image_[at]);
      if (at + head.size() > size) {
        *this = DicBuilder();
        return false;
      }
      dicnode::View node = dicnode::decode(&image_[at]);
      std::string_view text = node.text;
      field = dicfmt::link_offset(at, head.length);
      if (head.key) {
        state = &keys_.try_emplace(std::string(text), KeyState{field, 0, 0}).first->second;
      } else if (state != nullptr) {
        if (state->values++ == 0) state->first_value = at;
        state->last_link_field = field;
        ++pairs_;
      }
    }
    chain_end_[slot] = field;
  }
  return true;
}

DicBuilder::Result DicBuilder::add(std::string_view key, std::string_view value) {
  if (!dicfmt::storable_pair(key, value)) return Result::refused;
  int length = static_cast<int>(key.size());
  int slot = hash_bytes(key);
  // Pair files list a reading's words together: the last key is asked for again most often.
  KeyState *state = last_ != nullptr && last_key_ == key ? last_ : nullptr;
  bool fresh = false;
  if (state == nullptr) {
    // One hash look-up, whether the key is new or not.
    auto [it, inserted] = keys_.try_emplace(std::string(key), KeyState{0, 0, 0});
    state = &it->second;
    fresh = inserted;
    last_ = state;
    last_key_ = it->first;  // the map's own copy: its address stays put
  }
  int node = state->first_value;
  for (int i = 0; i < state->values; ++i) {
    if (std::memcmp(&image_[static_cast<std::size_t>(node) + 1], value.data(), value.size()) == 0)
      return Result::present;
    node = read_number(dicfmt::link_offset(node, length));
  }
  // The same space check as insertion: the nodes of this pair that no free
  // node takes (a new key needs two, a known one one) must fit 24-bit offsets.
  int k = dicfmt::size_class(length);
  if (!dicnode::pair_fits(length, fresh, free_head_[k], free_next(k, length), static_cast<long>(image_.size()))) {
    if (fresh) {
      last_ = nullptr;
      keys_.erase(std::string(key));
    }
    return Result::full;
  }

  if (fresh) {
    int hang = chain_end_[slot];
    int key_node = place_node(dicfmt::kNodeKey, key, 0);
    write_number(hang, key_node);
    int key_link = dicfmt::link_offset(key_node, length);
    chain_end_[slot] = key_link;
    state->last_link_field = key_link;
  }
  int hang = state->last_link_field;
  int value_node = place_node(dicfmt::kNodeValue, value, read_number(hang));
  write_number(hang, value_node);
  int value_link = dicfmt::link_offset(value_node, length);
  // A value after the chain's last node becomes the new end of the chain.
  if (chain_end_[slot] == hang) chain_end_[slot] = value_link;
  state->last_link_field = value_link;
  if (state->values++ == 0) state->first_value = value_node;
  ++pairs_;
  return Result::added;
}
