// glosset-sample-dict: makes a small dictionary from libhangul's hanja.txt,
// holding every pair of the readings given, through the store's own insertion.
//
//   glosset-sample-dict HANJA_TXT OUT READING...
//
// Readings are UTF-8. OUT is replaced. Used at build time for the sample
// system dictionary of the main job until the real default dictionary exists.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "dict/hanja_insert.h"
#include "editor/strconv.h"

namespace {

// The EUC-KR form of a UTF-8 text, or "" when it has none.
std::string to_euc(const std::string &utf8) {
  std::string euc(utf8.size() + 1, '\0');
  utfs2eucs(euc.data(), utf8.c_str());
  euc.resize(std::char_traits<char>::length(euc.c_str()));
  return euc;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s HANJA_TXT OUT READING...\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 2;
  }
  std::string out = argv[2];
  if (out.empty() || out[0] != '/') {
    std::fprintf(stderr, "%s: %s: OUT must be an absolute path\n", argv[0], argv[2]);
    return 2;
  }
  std::set<std::string> readings(argv + 3, argv + argc);

  unlink(out.c_str());
  setenv("USRDICNAME", out.c_str(), 1);

  int added = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    size_t colon1 = line.find(':');
    size_t colon2 = line.find(':', colon1 + 1);
    if (colon1 == std::string::npos || colon2 == std::string::npos) continue;
    if (readings.count(line.substr(0, colon1)) == 0) continue;
    std::string key = to_euc(line.substr(0, colon1));
    std::string value = to_euc(line.substr(colon1 + 1, colon2 - colon1 - 1));
    // Pairs the store cannot hold (a character outside KS X 1001, lengths
    // that differ) are left out.
    if (key.empty() || value.size() != key.size()) continue;
    if (InsertHanjaWord(0, key.c_str(), value.c_str()) < 0) {
      std::fprintf(stderr, "%s: %s: cannot write\n", argv[0], out.c_str());
      return 1;
    }
    added++;
  }
  if (added == 0) {
    std::fprintf(stderr, "%s: no pair of the readings given in %s\n", argv[0], argv[1]);
    return 1;
  }
  std::printf("%s: %d pairs\n", out.c_str(), added);
  return 0;
}
