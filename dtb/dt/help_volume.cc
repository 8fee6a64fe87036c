// Reading help volumes and finding them on disk.
#include "dtb/dt/help_volume.h"

#include <iconv.h>
#include <langinfo.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "dtb/dtb_utils.h"

namespace dt {

namespace {

constexpr std::string_view kTopicMark = "@topic";
constexpr std::string_view kVolumeMark = "@volume";
constexpr std::streamsize kMaxVolumeBytes = 1 << 20;  // a help volume is small; refuse anything huge
// The installed help directory as seen from the executable's, given by the build.
#ifdef DTB_HELP_DIR_FROM_EXE
constexpr char kHelpDirFromExe[] = DTB_HELP_DIR_FROM_EXE;
#else
constexpr char kHelpDirFromExe[] = "";
#endif

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// "@mark rest" with the mark followed by a blank or the end of the line.
bool starts_with_mark(std::string_view line, std::string_view mark, std::string_view *rest) {
  if (line.substr(0, mark.size()) != mark) return false;
  std::string_view after = line.substr(mark.size());
  if (!after.empty() && after[0] != ' ' && after[0] != '\t') return false;
  *rest = trim(after);
  return true;
}

void finish_body(std::string &body) {
  size_t b = body.find_first_not_of("\n");
  if (b == std::string::npos) {
    body.clear();
    return;
  }
  size_t e = body.find_last_not_of("\n");
  body = body.substr(b, e - b + 1);
}

bool is_file(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

const HelpTopic *HelpVolume::find(std::string_view location_id) const {
  if (topics.empty()) return nullptr;
  if (location_id.empty()) return &topics.front();
  for (const HelpTopic &t : topics)
    if (iequals(t.location_id, location_id)) return &t;
  return nullptr;
}

HelpVolume parse_help_volume(std::string_view text) {
  HelpVolume volume;
  HelpTopic *current = nullptr;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    std::string_view rest;
    if (starts_with_mark(line, kTopicMark, &rest)) {
      if (current != nullptr) finish_body(current->body);
      size_t blank = rest.find_first_of(" \t");
      volume.topics.push_back({std::string(rest.substr(0, blank)),
                               blank == std::string_view::npos ? std::string() : std::string(trim(rest.substr(blank))),
                               {}});
      current = &volume.topics.back();
      continue;
    }
    if (current == nullptr) {  // the head: comments and the volume title
      if (starts_with_mark(line, kVolumeMark, &rest)) volume.title = rest;
      continue;
    }
    if (line.substr(0, 2) == "@@") line.remove_prefix(1);
    current->body.append(line);
    current->body.push_back('\n');
  }
  if (current != nullptr) finish_body(current->body);
  return volume;
}

std::string find_help_volume(std::string_view volume) {
  if (volume.empty()) return {};
  std::string name(volume);
  if (name.find('/') != std::string::npos) {
    if (is_file(name)) return name;
    if (is_file(name + ".hv")) return name + ".hv";
    return {};
  }

  std::vector<std::string> dirs;
  if (const char *path = std::getenv("DTB_HELP_PATH")) {
    std::string_view rest(path);
    while (!rest.empty()) {
      size_t colon = rest.find(':');
      if (colon != 0) dirs.emplace_back(rest.substr(0, colon));
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  if (const char *exe_dir = dtb_get_exe_dir()) {
    dirs.push_back(std::string(exe_dir) + "/help");
    if (*kHelpDirFromExe != '\0') dirs.push_back(std::string(exe_dir) + "/" + kHelpDirFromExe);
  }
  const char *lang = std::getenv("LANG");
  for (const std::string &dir : dirs) {
    if (lang != nullptr && *lang != '\0' && std::strchr(lang, '/') == nullptr) {
      std::string localized = dir + "/" + lang + "/" + name + ".hv";
      if (is_file(localized)) return localized;
    }
    std::string plain = dir + "/" + name + ".hv";
    if (is_file(plain)) return plain;
  }
  return {};
}

std::optional<HelpVolume> load_help_volume(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(static_cast<size_t>(kMaxVolumeBytes) + 1, '\0');
  in.read(text.data(), kMaxVolumeBytes + 1);
  if (in.gcount() > kMaxVolumeBytes) return std::nullopt;
  text.resize(static_cast<size_t>(in.gcount()));
  return parse_help_volume(text);
}

std::string utf8_to_locale(std::string_view text) {
  const char *codeset = nl_langinfo(CODESET);
  if (codeset == nullptr || std::strcmp(codeset, "UTF-8") == 0) return std::string(text);
  iconv_t cd = iconv_open(codeset, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);

  std::string out;
  std::string in_copy(text);
  char *in = in_copy.data();
  size_t in_left = in_copy.size();
  char chunk[256];
  while (in_left > 0) {
    char *o = chunk;
    size_t o_left = sizeof chunk;
    size_t r = iconv(cd, &in, &in_left, &o, &o_left);
    out.append(chunk, sizeof chunk - o_left);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // A character the locale cannot show, or broken UTF-8: skip one
      // character's bytes and show '?' in its place.
      out.push_back('?');
      do {
        ++in;
        --in_left;
      } while (in_left > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace dt
