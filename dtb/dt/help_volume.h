// Help volumes: plain text files with one section per location id.
//
// A volume NAME is the file NAME.hv (UTF-8). Lines before the first topic are
// comments or the volume's title:
//
//   # a comment
//   @volume Glosset Help
//   @topic _hometopic Glosset
//   Body text of the topic, shown as written, line by line.
//   @@topic at the start of a line is written with a doubled @.
//   @topic Find Finding words
//   ...
//
// "@topic ID TITLE" opens a section: ID is the location id (no blanks, matched
// without regard to ASCII case), TITLE the rest of the line. The body runs to
// the next "@topic" line; blank lines at its ends are dropped.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dt {

struct HelpTopic {
  std::string location_id;
  std::string title;
  std::string body;
};

struct HelpVolume {
  std::string title;
  std::vector<HelpTopic> topics;

  // The topic at a location id; an empty id means the first topic.
  const HelpTopic *find(std::string_view location_id) const;
};

// Parses the text of a volume file.
HelpVolume parse_help_volume(std::string_view text);

// Where a volume lives. A name holding '/' is a path (".hv" may be left off);
// a bare name is looked up, in each directory of $DTB_HELP_PATH (':'-separated)
// and then in <executable dir>/help and in the installed help directory that
// the build names (relative to the executable's directory), first in the
// subdirectory named by $LANG and then in the directory itself.
// Empty when it is nowhere.
std::string find_help_volume(std::string_view volume);

// Reads and parses a volume file; nothing when it cannot be read.
std::optional<HelpVolume> load_help_volume(const std::string &path);

// Text of a volume (UTF-8) in the encoding of the current locale, for display.
// Characters that encoding lacks become '?'.
std::string utf8_to_locale(std::string_view text);

}  // namespace dt
