// Add, Modify and Delete on the user dictionary, without widgets: the checks
// of the dialog's texts, the conversion to EUC-KR, the store call and the
// report.
#include "editor/hanja_edit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "editor/builtin_text.h"
#include "editor/strconv.h"
#include "editor/text_mode.h"
#include "publish/publish.h"

namespace {

// 한글수와 한자수가 틀림.
constexpr char kCountsDiffer[] =
    "\xc7\xd1\xb1\xdb\xbc\xf6\xbf\xcd \xc7\xd1\xc0\xda\xbc\xf6\xb0\xa1 \xc6\xb2\xb8\xb2.";
// "%s"는 벌써 한자사전에 있음.
constexpr char kAlreadyThere[] = "\"\xb4\xc2 \xb9\xfa\xbd\xe1 \xc7\xd1\xc0\xda\xbb\xe7\xc0\xfc\xbf\xa1 \xc0\xd6\xc0\xbd.";
// $HOME/.usrhjd에 더할수 없음.
constexpr char kCannotAdd[] = "$HOME/.usrhjd\xbf\xa1 \xb4\xf5\xc7\xd2\xbc\xf6 \xbe\xf8\xc0\xbd.";
// "%s"를 $HOME/.usrhjd에 더했음.
constexpr char kAdded[] = "\"\xb8\xa6 $HOME/.usrhjd\xbf\xa1 \xb4\xf5\xc7\xdf\xc0\xbd.";
// $HOME/.usrhjd에서 지울수 없음.
constexpr char kCannotDelete[] = "$HOME/.usrhjd\xbf\xa1\xbc\xad \xc1\xf6\xbf\xef\xbc\xf6 \xbe\xf8\xc0\xbd.";
// 사용자 사전에서 한 개의 기록을 선택하여야 합니다
constexpr char kSelectEntry[] =
    "\xbb\xe7\xbf\xeb\xc0\xda \xbb\xe7\xc0\xfc\xbf\xa1\xbc\xad \xc7\xd1 \xb0\xb3\xc0\xc7 "
    "\xb1\xe2\xb7\xcf\xc0\xbb \xbc\xb1\xc5\xc3\xc7\xcf\xbf\xa9\xbe\xdf \xc7\xd5\xb4\xcf\xb4\xd9";
// "%s"와 "%s"는 맞지 않음.  (the middle and the tail)
constexpr char kAnd[] = "\"\xbf\xcd \"";
constexpr char kDoNotMatch[] = "\"\xb4\xc2 \xb8\xc2\xc1\xf6 \xbe\xca\xc0\xbd.";
// .usrhjd 리스트에서 한자를 선택하십시오.
constexpr char kSelectHanja[] =
    ".usrhjd \xb8\xae\xbd\xba\xc6\xae\xbf\xa1\xbc\xad \xc7\xd1\xc0\xda\xb8\xa6 "
    "\xbc\xb1\xc5\xc3\xc7\xcf\xbd\xca\xbd\xc3\xbf\xc0.";

// 입력기 파일에 쓸 수 없음 (<target>: <reason>)
constexpr char kNotPublished[] =
    "\xc0\xd4\xb7\xc2\xb1\xe2 \xc6\xc4\xc0\xcf\xbf\xa1 \xbe\xb5 \xbc\xf6 \xbe\xf8\xc0\xbd (";

// The footer after a committed change: its usual report, or, when an input
// method's file could not be kept in step, why (the change stands either way).
std::string after_change(std::string report) {
  for (const publish::Outcome &o : publish::keep_in_step()) {
    if (o.ok) continue;
    const ReportPart parts[] = {{builtin_text(kNotPublished), false},
                                {std::string(publish::kind_name(o.target.kind)) + ": " + o.why, true},
                                {")", false}};
    return fit_report(parts);
  }
  return report;
}

// "<word><euc tail>" in the running mode: the word is already in that encoding,
// the fixed text is turned into it.
std::string quoted(std::string_view word, const char *euc_tail) {
  const ReportPart parts[] = {{"\"", false}, {std::string(word), true}, {builtin_text(euc_tail), false}};
  return fit_report(parts);
}

bool ks_x_1001_pairs(std::string_view euc) {
  if (euc.size() % 2 != 0) return false;
  return std::all_of(euc.begin(), euc.end(), [](char c) {
    auto b = static_cast<unsigned char>(c);
    return b >= 0xa1 && b <= 0xfe;
  });
}

bool is_shown(std::string_view word, std::span<const std::string> shown) {
  return std::find(shown.begin(), shown.end(), word) != shown.end();
}

EditResult edit_report(EditStatus status, std::string_view word) {
  switch (status) {
    case EditStatus::length_mismatch: return {status, builtin_text(kCountsDiffer)};
    case EditStatus::duplicate: return {status, quoted(word, kAlreadyThere)};
    case EditStatus::refused: return {status, builtin_text(kCannotAdd)};
    case EditStatus::no_selection: return {status, select_entry_prompt()};
    case EditStatus::changed: break;
  }
  // Modify reports its success with the words for adding.
  return {EditStatus::changed, quoted(word, kAdded)};
}

}  // namespace

bool edit_key(std::string_view text, std::string *euc) {
  euc->clear();
  std::string field(text);  // terminated for the converter
  char buffer[kEditBufferSize] = {};
  if (is_utf8_mode()) {
    // Too long or not convertible: the buffer stays empty.
    if (utfs2eucs_bounded(buffer, sizeof buffer, field.c_str()) <= 0) return false;
  } else {
    if (field.size() >= sizeof buffer) return false;
    std::memcpy(buffer, field.c_str(), field.size() + 1);
  }
  std::string result(buffer);
  // The store would take any even run of bytes; only two-byte KS X 1001
  // characters are words of a Hanja dictionary.
  if (result.empty() || !ks_x_1001_pairs(result)) return false;
  *euc = std::move(result);
  return true;
}

namespace {

// The characters of `text` in the running mode's encoding: UTF-8 sequences, or
// EUC-KR pairs (a byte from 0x80 up starts one) and single ASCII bytes.
std::vector<std::string_view> characters(std::string_view text, bool utf8) {
  std::vector<std::string_view> out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t width = 1;
    if (utf8) {
      while (i + width < text.size() && (static_cast<unsigned char>(text[i + width]) & 0xc0) == 0x80) ++width;
    } else if (static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < text.size()) {
      width = 2;
    }
    out.push_back(text.substr(i, width));
    i += width;
  }
  return out;
}

// An inserted word shown as its first `head` and last `tail` characters, with
// "…" between them once anything is left out.
struct Shortened {
  std::vector<std::string_view> chars;
  std::size_t head, tail;
  bool cut() const { return head + tail < chars.size(); }
  std::string text(const std::string &ellipsis) const {
    std::string out;
    for (std::size_t i = 0; i < head; i++) out += chars[i];
    if (cut()) out += ellipsis;
    for (std::size_t i = chars.size() - tail; i < chars.size(); i++) out += chars[i];
    return out;
  }
};

}  // namespace

// A long word is shortened in its middle rather than the sentence cut: the
// start and end of the word still tell which one it was, and the fixed text
// (the reason) is always read whole.
std::string fit_report(std::span<const ReportPart> parts) {
  const bool utf8 = is_utf8_mode();
  const std::string ellipsis = builtin_text("\xa1\xa6");  // …
  std::vector<Shortened> words(parts.size());
  for (std::size_t i = 0; i < parts.size(); i++) {
    if (!parts[i].inserted) continue;
    words[i].chars = characters(parts[i].text, utf8);
    words[i].head = (words[i].chars.size() + 1) / 2;
    words[i].tail = words[i].chars.size() / 2;
  }
  auto joined = [&] {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); i++) out += parts[i].inserted ? words[i].text(ellipsis) : parts[i].text;
    return out;
  };
  for (std::string out = joined();; out = joined()) {
    if (out.size() < kEditBufferSize) return out;
    // One character less from the middle of the word that shows the most.
    Shortened *longest = nullptr;
    for (Shortened &w : words) {
      if (w.head + w.tail > 0 && (longest == nullptr || w.head + w.tail > longest->head + longest->tail)) longest = &w;
    }
    if (longest == nullptr) return out;  // only fixed text left; every fixed report is short
    (longest->head > longest->tail ? longest->head : longest->tail)--;
  }
}

EditResult add_pair(std::string_view reading, std::string_view hanja, std::span<const std::string> shown) {
  if (reading.size() != hanja.size()) return edit_report(EditStatus::length_mismatch, hanja);
  if (is_shown(hanja, shown)) return edit_report(EditStatus::duplicate, hanja);
  std::string euc_hanja, euc_reading;
  // Nothing the store would refuse is passed on: such a pair is reported as
  // one that cannot be added, and the file is not touched.
  if (!edit_key(hanja, &euc_hanja) || !edit_key(reading, &euc_reading)) {
    return edit_report(EditStatus::refused, hanja);
  }
  if (InsertHanjaWord(DIC_USER, euc_reading.c_str(), euc_hanja.c_str()) < 0) {
    return edit_report(EditStatus::refused, hanja);
  }
  return {EditStatus::changed, after_change(edit_report(EditStatus::changed, hanja).report)};
}

EditResult modify_pair(std::string_view reading, const std::string *old_hanja, std::string_view new_hanja,
                       std::span<const std::string> shown) {
  if (reading.size() != new_hanja.size()) return edit_report(EditStatus::length_mismatch, new_hanja);
  if (is_shown(new_hanja, shown)) return edit_report(EditStatus::duplicate, new_hanja);
  // Without a selected entry there is no old word to replace.
  if (old_hanja == nullptr) return edit_report(EditStatus::no_selection, new_hanja);
  std::string euc_new, euc_reading, euc_old;
  if (!edit_key(new_hanja, &euc_new) || !edit_key(reading, &euc_reading) || !edit_key(*old_hanja, &euc_old)) {
    return edit_report(EditStatus::refused, new_hanja);
  }
  if (UpdateHanjaWord(DIC_USER, euc_reading.c_str(), euc_old.c_str(), euc_new.c_str()) < 0) {
    return edit_report(EditStatus::refused, new_hanja);
  }
  return {EditStatus::changed, after_change(edit_report(EditStatus::changed, new_hanja).report)};
}

DeleteResult delete_pair(std::string_view reading, std::string_view hanja) {
  std::string euc_hanja, euc_reading;
  int result = 0;
  // A reading or word that cannot be a key of the file (too long for the
  // buffer, not convertible) cannot be registered either.
  if (edit_key(hanja, &euc_hanja) && edit_key(reading, &euc_reading)) {
    result = DeleteHanjaWord(DIC_USER, euc_reading.c_str(), euc_hanja.c_str());
  }
  if (result == 0) {
    const ReportPart parts[] = {{"\"", false},
                                {std::string(reading), true},
                                {builtin_text(kAnd), false},
                                {std::string(hanja), true},
                                {builtin_text(kDoNotMatch), false}};
    return {DeleteStatus::not_registered, fit_report(parts)};
  }
  // A damaged or unreadable file: the entry is kept, and the list keeps it.
  if (result < 0) return {DeleteStatus::refused, builtin_text(kCannotDelete)};
  return {DeleteStatus::deleted, after_change(select_hanja_prompt())};
}

std::string select_entry_prompt() { return builtin_text(kSelectEntry); }
std::string select_hanja_prompt() { return builtin_text(kSelectHanja); }
