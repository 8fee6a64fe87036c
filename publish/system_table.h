// libhangul's system Hanja table (hanja.txt), mapped read-only and searched by
// key without loading it: its `key:value:comment` lines are sorted by key.
#pragma once
#include <string>
#include <string_view>

namespace publish {

// The table fcitx5-hangul and libhangul read when no user table replaces it.
inline constexpr char kSystemTable[] = "/usr/share/libhangul/hanja/hanja.txt";

class SystemTable {
 public:
  // Maps GLOSSET_HANJA_TABLE, or kSystemTable when that is unset.
  SystemTable();
  ~SystemTable();
  SystemTable(const SystemTable &) = delete;
  SystemTable &operator=(const SystemTable &) = delete;

  bool loaded() const { return data_ != nullptr; }
  const std::string &path() const { return path_; }
  const std::string &why() const { return why_; }  // when not loaded
  // The lines after the leading '#' comment lines.
  std::string_view body() const { return body_; }
  // The lines of `key`, together as the table keeps them (empty when none).
  std::string_view lines_of(std::string_view key) const;
  // The comment of key:word, or nullopt-like "" with found false.
  bool find(std::string_view key, std::string_view word, std::string_view *comment = nullptr) const;

 private:
  std::string path_, why_;
  const char *data_ = nullptr;
  std::size_t size_ = 0;
  std::string_view body_;
};

// Splits one table line (no newline) into its fields; a missing comment is empty.
struct TableLine {
  std::string_view key, word, comment;
};
bool split_table_line(std::string_view line, TableLine &out);

}  // namespace publish
