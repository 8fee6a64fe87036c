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

  // InsertHanjaWord: 0 when registered afterwards, -1 when refused.
  int add(const std::string &key, const std::string &value) {
    std::size_t n = key.size();
    if (n < 2 || n > 16 || n % 2 != 0 || value.size() != n) return -1;
    std::vector<int> chain = walk(slot_of(key));
    int k = find_key(chain, key);
    if (k >= 0) {
      for (int v : group(chain, k))
        if (text(v) == value) return 0;
    }
    if (k < 0) {
      int node = allocate(n);
      write_node(node, true, key, 0);
      put(chain.empty() ? 12 + 3 * slot_of(key) : link_field(chain.back()), node);
      chain = walk(slot_of(key));
      k = find_key(chain, key);
    }
    std::vector<int> values = group(chain, k);
    int hang = link_field(values.empty() ? chain[static_cast<std::size_t>(k)] : values.back());
    int node = allocate(n);
    write_node(node, false, value, get(hang));
    put(hang, node);
    return 0;
  }

  // DeleteHanjaWord: 1 when removed, 0 when not registered.
  int del(const std::string &key, const std::string &value) {
    std::vector<int> chain = walk(slot_of(key));
    int k = find_key(chain, key);
    if (k < 0) return 0;
    std::vector<int> values = group(chain, k);
    int at = -1;
    for (std::size_t i = 0; i < values.size(); ++i)
      if (text(values[i]) == value) at = static_cast<int>(i);
    if (at < 0) return 0;
    int v = values[static_cast<std::size_t>(at)];
    bool only = values.size() == 1;
    int key_node = chain[static_cast<std::size_t>(k)];
    int pointing;  // the field that points at what goes
    if (only)
      pointing = k == 0 ? 12 + 3 * slot_of(key) : link_field(chain[static_cast<std::size_t>(k) - 1]);
    else
      pointing = link_field(at == 0 ? key_node : values[static_cast<std::size_t>(at) - 1]);
    int head_field = 5985 + 3 * (length(v) / 2 - 1);
    int next = get(link_field(v));
    int old_head = get(head_field);
    put(head_field, only ? key_node : v);
    put(link_field(v), old_head);
    put(pointing, next);
    return 1;
  }

  // UpdateHanjaWord.
  int mod(const std::string &key, const std::string &old_value, const std::string &new_value) {
    if (old_value == new_value) return 0;
    if (add(key, new_value) < 0) return -1;
    return del(key, old_value);
  }

 private:
  int get(int at) const {
    auto u = [&](int i) { return static_cast<int>(file_[static_cast<std::size_t>(i)]); };
    return u(at) * 65536 + u(at + 1) * 256 + u(at + 2);
  }
  void put(int at, int v) {
    file_[static_cast<std::size_t>(at)] = static_cast<unsigned char>(v / 65536 % 256);
    file_[static_cast<std::size_t>(at) + 1] = static_cast<unsigned char>(v / 256 % 256);
    file_[static_cast<std::size_t>(at) + 2] = static_cast<unsigned char>(v % 256);
  }
  static int slot_of(const std::string &s) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < s.size(); i += 2) {
      unsigned hi = static_cast<unsigned char>(s[i]) % 128;
      unsigned lo = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) % 128 : 0;
      sum += 9 * (hi * 128 + lo);
    }
    return static_cast<int>(sum / 8 % 1991);
  }
  int length(int node) const { return file_[static_cast<std::size_t>(node)] % 128; }
  bool is_key(int node) const { return file_[static_cast<std::size_t>(node)] >= 128; }
  int link_field(int node) const { return node + 1 + length(node); }
  std::string text(int node) const {
    return std::string(reinterpret_cast<const char *>(&file_[static_cast<std::size_t>(node) + 1]),
                       static_cast<std::size_t>(length(node)));
  }
  std::vector<int> walk(int slot) const {
    std::vector<int> nodes;
    for (int n = get(12 + 3 * slot); n != 0; n = get(link_field(n))) nodes.push_back(n);
    return nodes;
  }
  int find_key(const std::vector<int> &chain, const std::string &key) const {
    for (std::size_t i = 0; i < chain.size(); ++i)
      if (is_key(chain[i]) && text(chain[i]) == key) return static_cast<int>(i);
    return -1;
  }
  std::vector<int> group(const std::vector<int> &chain, int k) const {
    std::vector<int> values;
    for (std::size_t i = static_cast<std::size_t>(k) + 1; i < chain.size() && !is_key(chain[i]); ++i)
      values.push_back(chain[i]);
    return values;
  }
  int allocate(std::size_t n) {
    int head_field = 5985 + 3 * static_cast<int>(n / 2 - 1);
    int head = get(head_field);
    if (head != 0) {
      put(head_field, get(head + 1 + static_cast<int>(n)));
      return head;
    }
    int end = get(6009);
    file_.resize(file_.size() + n + 4);
    put(6009, end + static_cast<int>(n) + 4);
    return end;
  }
  void write_node(int at, bool key, const std::string &s, int link) {
    file_[static_cast<std::size_t>(at)] = static_cast<unsigned char>((key ? 128 : 0) + s.size());
    std::memcpy(&file_[static_cast<std::size_t>(at) + 1], s.data(), s.size());
    put(link_field(at), link);
  }

  std::vector<unsigned char> file_;
};

}  // namespace dicmodel
