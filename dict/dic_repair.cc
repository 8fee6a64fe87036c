#include "dict/dic_repair.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "dict/be24.h"
#include "dict/dic_format.h"
#include "dict/dic_node.h"
#include "dict/hanja_util.h"

namespace {

struct Tile {
  int at;
  int length;
  bool key;
  int link;
  std::string_view text;
};

enum class Seen : unsigned char { no, chain, free_list, orphan };

// Two-byte EUC-KR characters only: what every string the editor and the
// command line write is made of, and what random bytes seldom are.
bool looks_intact(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xA1 &&
                                                             static_cast<unsigned char>(c) <= 0xFE; });
}

class Salvager {
 public:
  explicit Salvager(std::span<const unsigned char> image)
      : image_(image),
        tile_of_(std::make_unique<int[]>(image.size() > dicfmt::kFirstNode ? image.size() - dicfmt::kFirstNode : 0)) {}
  SalvageReport run();

 private:
  int number(long offset) const { return static_cast<int>(be24::decode(&image_[offset])); }
  // The tile that begins at `offset`, or -1.
  int tile_at(int offset) const {
    return offset >= dicfmt::kFirstNode && static_cast<std::size_t>(offset) < image_.size()
               ? tile_of_[offset - dicfmt::kFirstNode] - 1
               : -1;
  }
  void tile();
  void walk_chain(int slot);
  void walk_free_list(int k);
  void walk_orphans(int head);
  void note_cut_readings();
  int key_for_leading_values(int segment_slot, int length) const;
  void keep(int key, int value, bool orphan);
  void order_pairs();

  std::span<const unsigned char> image_;
  // By offset from the first node: 1 + the tile beginning there, 0 none
  // (zeroed at once rather than filled element by element).
  std::unique_ptr<int[]> tile_of_;
  std::vector<Tile> tiles_;
  std::vector<Seen> seen_;
  std::array<int, dicfmt::kSlotCount> last_key_{};  // tile of the last key a chain walk met, -1 none
  std::array<bool, dicfmt::kSlotCount> cut_{};      // the walk stopped at a link it could not follow
  // By string length: the last reading of the one cut chain whose last reading
  // has that length; -1 none, kAmbiguous several.
  static constexpr int kAmbiguous = -2;
  std::array<int, dicfmt::kLengthMask + 1> cut_reading_of_length_{};
  struct Kept {
    std::string_view key, value;
    int value_at;
    bool orphaned;
  };
  std::vector<Kept> kept_;
  std::unordered_map<std::string_view, std::vector<std::string_view>> values_of_;
  SalvageReport report_;
};

void Salvager::tile() {
  long size = static_cast<long>(image_.size());
  long at = dicfmt::kFirstNode;
  while (at < size) {
    long end = at + dicnode::head(image_[at]).size();
    if (end > size) {
      report_.trailing_bytes = static_cast<std::size_t>(size - at);
      break;
    }
    dicnode::View node = dicnode::decode(&image_[at]);
    tile_of_[at - dicfmt::kFirstNode] = static_cast<int>(tiles_.size()) + 1;
    tiles_.push_back({static_cast<int>(at), node.head.length, node.head.key, node.link, node.text});
    at = end;
  }
  seen_.assign(tiles_.size(), Seen::no);
}

void Salvager::keep(int key, int value, bool orphan) {
  const Tile &k = tiles_[key];
  const Tile &v = tiles_[value];
  if (!dicfmt::storable_pair(k.text, v.text) || (orphan && !(looks_intact(k.text) && looks_intact(v.text)))) {
    ++report_.unstorable;
    return;
  }
  std::vector<std::string_view> &values = values_of_[k.text];
  if (std::find(values.begin(), values.end(), v.text) != values.end()) return;
  values.push_back(v.text);
  kept_.push_back({k.text, v.text, v.at, orphan});
  ++(orphan ? report_.orphaned : report_.reached);
}

void Salvager::walk_chain(int slot) {
  int key = -1;
  int next = number(dicfmt::slot_offset(slot));
  while (next != 0) {
    int t = tile_at(next);
    if (t < 0 || seen_[t] != Seen::no) {
      cut_[slot] = true;
      break;
    }
    seen_[t] = Seen::chain;
    if (tiles_[t].key)
      key = t;
    else if (key >= 0)
      keep(key, t, false);
    else
      report_.keyless_words.emplace_back(tiles_[t].text);
    next = tiles_[t].link;
  }
  last_key_[slot] = key;
}

void Salvager::walk_free_list(int k) {
  // Walked after the chains: a node both reach is kept as a word, never lost.
  for (int next = number(dicfmt::avail_offset(k)); next != 0;) {
    int t = tile_at(next);
    if (t < 0 || seen_[t] != Seen::no || dicfmt::size_class(tiles_[t].length) != k) break;
    seen_[t] = Seen::free_list;
    ++report_.free_nodes;
    next = tiles_[t].link;
  }
}

// Words at the head of a piece of chain that nothing reaches belong to the
// reading whose group the cut went through. When the piece holds readings,
// all of one chain, that is the last reading reached in that chain; readings
// of several chains make the piece a lost free list, whose words belong to no
// reading. When it holds none, it is the last reading of the one chain that
// ends in a link that cannot be followed, if there is exactly one that fits.
// The cut chains are tallied once, so a file full of pieces costs no more
// than one pass over the chains.
void Salvager::note_cut_readings() {
  cut_reading_of_length_.fill(-1);
  for (int s = 0; s < dicfmt::kSlotCount; ++s) {
    int key = last_key_[s];
    if (!cut_[s] || key < 0) continue;
    int &found = cut_reading_of_length_[tiles_[key].length];
    found = found == -1 ? key : kAmbiguous;
  }
}

// `segment_slot`: the chain of the piece's readings, -1 when it holds none,
// kAmbiguous when they come from several chains.
int Salvager::key_for_leading_values(int segment_slot, int length) const {
  if (segment_slot == kAmbiguous) return -1;
  if (segment_slot >= 0) {
    int key = last_key_[segment_slot];
    return key >= 0 && tiles_[key].length == length ? key : -1;
  }
  int found = cut_reading_of_length_[length];
  return found == kAmbiguous ? -1 : found;
}

void Salvager::walk_orphans(int head) {
  std::vector<int> segment;
  int slot = -1;
  for (int t = head; t >= 0 && seen_[t] == Seen::no; t = tiles_[t].link == 0 ? -1 : tile_at(tiles_[t].link)) {
    seen_[t] = Seen::orphan;
    segment.push_back(t);
    if (tiles_[t].key && slot != kAmbiguous) {
      int s = hash_bytes(tiles_[t].text);
      slot = slot >= 0 && s != slot ? kAmbiguous : s;
    }
  }
  int key = -1;
  bool leading = true;
  for (int t : segment) {
    if (tiles_[t].key) {
      key = t;
      leading = false;
    } else if (leading) {
      int owner = key_for_leading_values(slot, tiles_[t].length);
      if (owner >= 0)
        keep(owner, t, true);
      else if (looks_intact(tiles_[t].text))
        report_.keyless_words.emplace_back(tiles_[t].text);
      else
        ++report_.unstorable;
    } else {
      keep(key, t, true);
    }
  }
}

// The order `export` gives: as the words were laid out, each reading's words
// kept in chain order, so that a dictionary never deleted from comes back
// byte for byte.
void Salvager::order_pairs() {
  std::unordered_map<std::string_view, int> last;
  std::vector<std::pair<int, std::size_t>> order;
  for (std::size_t i = 0; i < kept_.size(); ++i) {
    int &at = last[kept_[i].key];
    at = std::max(at, kept_[i].value_at);
    order.emplace_back(at, i);
  }
  std::stable_sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
  for (const auto &[at, i] : order)
    report_.pairs.push_back({std::string(kept_[i].key), std::string(kept_[i].value), kept_[i].orphaned});
}

SalvageReport Salvager::run() {
  if (image_.size() < static_cast<std::size_t>(dicfmt::kHeaderSize)) return report_;
  report_.dictionary = std::memcmp(image_.data(), dicfmt::kSignature.data(), dicfmt::kSignature.size()) == 0;
  tile();
  last_key_.fill(-1);
  for (int slot = 0; slot < dicfmt::kSlotCount; ++slot) walk_chain(slot);
  for (int k = 0; k < dicfmt::kSizeClasses; ++k) walk_free_list(k);
  note_cut_readings();
  // Pieces of chain nothing reaches any more: first from the nodes nothing
  // points to, then whatever is left (pieces that loop).
  std::vector<bool> pointed(tiles_.size(), false);
  for (std::size_t t = 0; t < tiles_.size(); ++t)
    if (int u = tiles_[t].link == 0 ? -1 : tile_at(tiles_[t].link); seen_[t] == Seen::no && u >= 0) pointed[u] = true;
  for (std::size_t t = 0; t < tiles_.size(); ++t)
    if (seen_[t] == Seen::no && !pointed[t]) walk_orphans(static_cast<int>(t));
  for (std::size_t t = 0; t < tiles_.size(); ++t)
    if (seen_[t] == Seen::no) walk_orphans(static_cast<int>(t));
  order_pairs();
  return report_;
}

}  // namespace

SalvageReport salvage(std::span<const unsigned char> image) { return Salvager(image).run(); }
