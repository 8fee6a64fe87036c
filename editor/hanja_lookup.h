// The lookup behind Find, free of widgets: from a field text to the words of
// both dictionaries, ready to be shown.
#pragma once
#include <string>
#include <vector>

// At most this many words per dictionary are asked for and shown.
inline constexpr int kMaxFoundWords = 10;

struct FoundWords {
  // In the order the store returned them, each in the running text mode's
  // encoding; a word that cannot be shown in it appears as its EUC-KR bytes in
  // hex, "<A2E6 B0A1>".
  std::vector<std::string> user;
  std::vector<std::string> system;
};

// The dictionary key for a field text (running mode's encoding): its EUC-KR
// form. False, with no key, when the text is empty, cannot be converted or
// does not fit the 65-byte key of the store.
bool make_reading_key(const char *field_text, std::string *key);

// Look the field text up in the user dictionary, then the system dictionary.
FoundWords look_up_reading(const char *field_text);

// The footer report of a Find, in the running text mode's encoding.
std::string find_report(int user_count, int system_count);
