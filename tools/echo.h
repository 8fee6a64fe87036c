// Arguments echoed in messages, made safe and short.
#pragma once
#include <string>
#include <string_view>

namespace cli {

// `arg` as a message may show it: control characters (C0, DEL, C1) and bytes
// that are not UTF-8 become \n, \t, \r or \xHH, a backslash becomes \\, and
// an argument longer than `max_chars` characters keeps its beginning and its
// end around a "…", cut between whole characters.
std::string shown(std::string_view arg, std::size_t max_chars = 48);
// No shortening: for names printed as results, which a script may use.
constexpr std::size_t kWhole = std::string_view::npos;

}  // namespace cli
