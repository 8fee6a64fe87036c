// An independent model of the dictionary file, for checking the store byte for byte.
//
// Written from the description of the format alone, without the store's code
// or helpers: the whole file is one byte vector, a chain is listed node by
// node from its slot, and every change is applied straight to the bytes.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace dicmodel {

class Model {
 public:
  Model() : file_(6012, 0) {
    std::memcpy(file_.data(), "HWDICTIONARY", 12);
    put(6009, 6012);
  }

  const std::vector<unsigned char> &bytes() const { return file_; }

  // The words of `key` in chain order (GetHanjaWord).
  std::vector<std::string> words(const std::string &key) const {
    std::vector<std::string> out;
    for (int v : group(key)) out.push_back(text(v));
    return out;
  }

  // InsertHanjaWord: 0 when registered afterwards, -1 when refused.
  int add(const std::string &key, const std::string &value) {
    int n = static_cast<int>(key.size());
    if (n < 2 || n > 16 || n % 2 != 0 || value.size() != key.size()) return -1;
    for (const std::string &w : words(key))
      if (w == value) return 0;
    std::vector<int> chain = walk(slot_of(key));
    int k = find_key(chain, key);
    if (k < 0) {
      k = place(true, key, 0);
      put(chain.empty() ? 12 + 3 * slot_of(key) : link_field(chain.back()), k);
    }
    std::vector<int> values = group(key);
    int hang = link_field(values.empty() ? k : values.back());
    put(hang, place(false, value, get(hang)));
    return 0;
  }

  // DeleteHanjaWord: 1 when removed, 0 when not registered.
  int del(const std::string &key, const std::string &value) {
    std::vector<int> chain = walk(slot_of(key)), values = group(key);
    std::size_t at = 0;
    while (at < values.size() && text(values[at]) != value) ++at;
    if (at == values.size()) return 0;
    int k = find_key(chain, key), v = values[at];
    int before_key = 12 + 3 * slot_of(key);  // the field that points at the key
    for (std::size_t i = 0; chain[i] != k; ++i) before_key = link_field(chain[i]);
    bool only = values.size() == 1;
    int pointing = only ? before_key : link_field(at == 0 ? k : values[at - 1]);  // points at what goes
    int head_field = 5985 + 3 * (length(v) / 2 - 1);
    int next = get(link_field(v)), old_head = get(head_field);
    put(head_field, only ? k : v);
    put(link_field(v), old_head);
    put(pointing, next);
    return 1;
  }

  // UpdateHanjaWord.
  int mod(const std::string &key, const std::string &old_value, const std::string &new_value) {
    if (old_value == new_value) return 0;
    return add(key, new_value) < 0 ? -1 : del(key, old_value);
  }

 private:
  unsigned char at(int i) const { return file_[static_cast<std::size_t>(i)]; }
  int get(int i) const { return at(i) * 65536 + at(i + 1) * 256 + at(i + 2); }
  void put(int i, int v) { file_[i] = v >> 16 & 255, file_[i + 1] = v >> 8 & 255, file_[i + 2] = v & 255; }
  static int slot_of(const std::string &s) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < s.size(); i += 2)
      sum += 9 * (static_cast<unsigned char>(s[i]) % 128 * 128 + static_cast<unsigned char>(s[i + 1]) % 128);
    return static_cast<int>(sum / 8 % 1991);
  }
  int length(int node) const { return at(node) % 128; }
  int link_field(int node) const { return node + 1 + length(node); }
  std::string text(int node) const { return std::string(file_.begin() + node + 1, file_.begin() + link_field(node)); }
  std::vector<int> walk(int slot) const {
    std::vector<int> nodes;
    for (int n = get(12 + 3 * slot); n != 0; n = get(link_field(n))) nodes.push_back(n);
    return nodes;
  }
  // The key node of `key` in `chain`, or -1.
  int find_key(const std::vector<int> &chain, const std::string &key) const {
    for (int n : chain)
      if (at(n) >= 128 && text(n) == key) return n;
    return -1;
  }
  // The value nodes after the key node of `key`.
  std::vector<int> group(const std::string &key) const {
    std::vector<int> chain = walk(slot_of(key)), values;
    int k = find_key(chain, key);
    for (std::size_t i = 0; k >= 0 && i < chain.size(); ++i)
      if (chain[i] == k)
        for (std::size_t j = i + 1; j < chain.size() && at(chain[j]) < 128; ++j) values.push_back(chain[j]);
    return values;
  }
  // Writes a node where the next one of its length goes: the head of its free list, or the end of data.
  int place(bool key, const std::string &s, int link) {
    int n = static_cast<int>(s.size()), head_field = 5985 + 3 * (n / 2 - 1), node = get(head_field);
    if (node != 0) {
      put(head_field, get(node + 1 + n));
    } else {
      node = get(6009);
      file_.resize(file_.size() + s.size() + 4);
      put(6009, node + n + 4);
    }
    file_[node] = static_cast<unsigned char>((key ? 128 : 0) + n);
    std::memcpy(&file_[node + 1], s.data(), s.size());
    put(node + 1 + n, link);
    return node;
  }

  std::vector<unsigned char> file_;
};

}  // namespace dicmodel
