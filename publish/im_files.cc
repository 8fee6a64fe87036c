#include "publish/im_files.h"

#include <algorithm>
#include <string_view>

namespace publish {
namespace {

// libhangul's loader reads lines into a 512-byte buffer.
constexpr std::size_t kMaxLine = 511;

bool one_character(std::string_view utf8) {
  return !utf8.empty() &&
         std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; }) == 1;
}

void append_line(std::string &out, std::string_view key, std::string_view word, std::string_view comment) {
  if (key.size() + word.size() + comment.size() + 3 > kMaxLine) comment = {};
  if (key.size() + word.size() + 3 > kMaxLine) return;  // the loader could not read it whole
  out.append(key).append(1, ':').append(word).append(1, ':').append(comment).append(1, '\n');
}

const char kHeader[] =
    "# Written by glosset (glosset-dict publish fcitx5): libhangul's Hanja table\n"
    "# with the words of your glosset user dictionary first under their readings.\n"
    "# Do not edit: change your words with glosset or glosset-dict, which write this\n"
    "# file again after every change (glosset-dict unpublish fcitx5 stops that).\n"
    "# fcitx5-hangul reads it when it starts.\n";

}  // namespace

std::string byeoru_text(const Pairs &user, const SystemTable &system) {
  std::vector<std::string> lines;
  lines.reserve(user.size());
  for (const Pair &p : user) {
    std::string_view comment;
    if (one_character(p.word)) system.find(p.reading, p.word, &comment);
    std::string line;
    append_line(line, p.reading, p.word, comment);
    lines.push_back(std::move(line));
  }
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  std::string out;
  for (const std::string &l : lines) out += l;
  return out;
}

std::string fcitx5_text(const Pairs &user, const SystemTable &system) {
  Pairs mine = user;
  std::stable_sort(mine.begin(), mine.end(), [](const Pair &a, const Pair &b) { return a.reading < b.reading; });
  std::string_view body = system.body();
  std::string out;
  out.reserve(body.size() + sizeof kHeader + mine.size() * 32);
  out += kHeader;
  std::size_t u = 0;
  // The user's words of one key, each once, with the table's comment where it has the word.
  auto user_key = [&](std::string_view key, std::string_view table_lines) {
    std::size_t first = u;
    for (; u < mine.size() && mine[u].reading == key; ++u) {
      bool repeated = false;
      for (std::size_t i = first; i < u; ++i) repeated = repeated || mine[i].word == mine[u].word;
      if (repeated) continue;
      std::string_view comment;
      TableLine t;
      for (std::string_view rest = table_lines; !rest.empty();) {
        std::size_t end = rest.find('\n');
        if (split_table_line(rest.substr(0, end), t) && t.word == mine[u].word) comment = t.comment;
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
      }
      append_line(out, key, mine[u].word, comment);
    }
    return first;
  };
  while (!body.empty()) {
    // One key's lines of the table.
    std::string_view key = body.substr(0, body.find(':'));
    std::size_t end = 0;
    while (end + key.size() < body.size() && body.substr(end, key.size()) == key && body[end + key.size()] == ':') {
      std::size_t nl = body.find('\n', end);
      end = nl == std::string_view::npos ? body.size() : nl + 1;
    }
    if (end == 0) {  // a line without a key: passed over
      std::size_t nl = body.find('\n');
      body.remove_prefix(nl == std::string_view::npos ? body.size() : nl + 1);
      continue;
    }
    std::string_view block = body.substr(0, end);
    body.remove_prefix(end);
    while (u < mine.size() && mine[u].reading < key) user_key(mine[u].reading, {});
    std::size_t first = user_key(key, block);
    TableLine t;
    for (std::string_view rest = block; !rest.empty();) {
      std::size_t nl = rest.find('\n');
      std::string_view line = rest.substr(0, nl);
      rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
      if (!split_table_line(line, t)) continue;
      bool users = false;
      for (std::size_t i = first; i < u && !users; ++i) users = mine[i].word == t.word;
      if (!users) append_line(out, t.key, t.word, t.comment);
    }
  }
  while (u < mine.size()) user_key(mine[u].reading, {});
  return out;
}

}  // namespace publish
