// The store side of Add, Modify and Delete, free of widgets: from the texts the
// fields and the list hold (in the running text mode's encoding) to a store
// call and the one-line report the footer shows.
#pragma once
#include <span>
#include <string>
#include <string_view>

// The EUC-KR buffers of the edit operations and their report buffer.
inline constexpr std::size_t kEditBufferSize = 100;

enum class EditStatus {
  length_mismatch,  // the reading and the Hanja word differ in byte length
  duplicate,        // the Hanja word is already an item of the user list
  refused,          // the store refused the pair or could not write it
  no_selection,     // Modify: no entry of the user list is selected
  changed,          // the user dictionary now holds the pair
};

struct EditResult {
  EditStatus status;
  std::string report;  // footer text in the running mode's encoding
};

// Add: register reading/hanja in the user dictionary. `shown` are the items of
// the user list; a word among them is refused as a duplicate.
EditResult add_pair(std::string_view reading, std::string_view hanja, std::span<const std::string> shown);

// Modify: replace `old_hanja` (the selected item; null when nothing is
// selected) by `new_hanja` under the reading.
EditResult modify_pair(std::string_view reading, const std::string *old_hanja, std::string_view new_hanja,
                       std::span<const std::string> shown);

enum class DeleteStatus {
  not_registered,  // the pair is not in the user dictionary: nothing written
  refused,         // the dictionary cannot be opened or is damaged there
  deleted,
};

struct DeleteResult {
  DeleteStatus status;
  std::string report;
};

// Delete: remove reading/hanja from the user dictionary.
DeleteResult delete_pair(std::string_view reading, std::string_view hanja);

// The footer texts that need no store call, in the running mode's encoding.
std::string select_entry_prompt();   // one record of the user dictionary must be selected
std::string select_hanja_prompt();   // select a Hanja in the .usrhjd list (after a deletion)

// The EUC-KR form of a field text: converted in UTF-8 mode, copied in EUC
// mode. False (and `euc` empty) when the text cannot be converted, holds a byte
// outside the two-byte KS X 1001 code, or does not fit kEditBufferSize.
bool edit_key(std::string_view text, std::string *euc);

// A report made of fixed texts and inserted words (readings, Hanja words), all
// in the running mode's encoding. Joined, it fits a report buffer of
// kEditBufferSize bytes: when it would not, the inserted words, the longest
// first, lose characters from their middle, marked with "…"; the fixed texts
// stay whole.
struct ReportPart {
  std::string text;
  bool inserted;
};
std::string fit_report(std::span<const ReportPart> parts);
