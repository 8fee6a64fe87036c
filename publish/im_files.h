// The exact bytes each input method reads.
#pragma once
#include <string>

#include "publish/system_table.h"
#include "publish/user_words.h"

namespace publish {

// uim-byeoru's personal dictionary: `reading:word:comment` lines sorted by the
// bytes of the whole line (its lookup is a binary search over whole lines).
// The comment is the system table's for a one-character word, else empty.
std::string byeoru_text(const Pairs &user, const SystemTable &system);

// A whole replacement of libhangul's table for fcitx5-hangul: a '#' header,
// then every key in byte order with its lines together, the user's words
// first under their key (a word the table also has appears once, there, with
// the table's comment), then the table's other words. No line is longer than
// libhangul's loader reads (511 bytes with its newline); every line has three
// fields, since a two-field line would keep its newline in the word.
std::string fcitx5_text(const Pairs &user, const SystemTable &system);

}  // namespace publish
