// UTF-8 on the command line, EUC-KR in the dictionary.
//
// Only two-byte KS X 1001 characters convert: both bytes A1-FE, and not the
// later additions A2E6-A2E8, which older tables lack.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace textcodec {

// The EUC-KR form of a UTF-8 string, or nothing when a character has no
// two-byte KS X 1001 code of its own (ASCII included): converting the result
// back must give the same UTF-8.
std::optional<std::string> to_euc(std::string_view utf8);
// The UTF-8 form of an EUC-KR string, or nothing when it is not a sequence of
// two-byte KS X 1001 codes.
std::optional<std::string> to_utf8(std::string_view euc);
// UTF-8 for output: what does not convert is written as \xHH escapes.
std::string printable(std::string_view euc);

}  // namespace textcodec
