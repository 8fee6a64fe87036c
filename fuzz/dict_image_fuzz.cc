// Fuzz target: a dictionary image as it might be found on disk.
//
// Each input is written to a file that the store takes for the user
// dictionary; lookups, membership checks, an insertion, a deletion and a
// replacement run on it, and the whole-file check, the pair walk and repair
// read it. Beyond "no crash, no overrun, no endless loop", a file that checks
// sound before must check sound after the changes and hold the pair just
// added, and what repair keeps of any file must make a sound dictionary.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "dict/dic_builder.h"
#include "dict/dic_format.h"
#include "dict/dic_repair.h"
#include "dict/dic_verify.h"
#include "dict/dic_walk.h"
#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"

namespace {

std::string g_dir;
std::string g_path;

void remove_scratch() {
  unlink(g_path.c_str());
  rmdir(g_dir.c_str());
}

const std::string &scratch_path() {
  if (g_path.empty()) {
    // In memory where it can: every change syncs its file, which on a disk
    // would cost more than all the rest of a run.
    std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm/glosset-fuzz-XXXXXX" : "/tmp/glosset-fuzz-XXXXXX";
    if (mkdtemp(dir.data()) == nullptr) std::abort();
    g_dir = dir;
    g_path = g_dir + "/usrhjd";
    setenv("HOME", g_dir.c_str(), 1);
    setenv("USRDICNAME", g_path.c_str(), 1);
    std::atexit(remove_scratch);
  }
  return g_path;
}

std::vector<unsigned char> read_back(const std::string &path) {
  std::vector<unsigned char> bytes;
  if (FILE *fp = std::fopen(path.c_str(), "rb")) {
    unsigned char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(fp);
  }
  return bytes;
}

// Readings to try: fixed ones, and the string of the first node, which the
// fuzzer controls directly.
std::vector<std::string> readings(const uint8_t *data, size_t size) {
  std::vector<std::string> keys = {"\xB0\xA1", "\xC7\xD1\xC0\xDA", "0!"};
  if (size > static_cast<size_t>(dicfmt::kFirstNode)) {
    size_t length = data[dicfmt::kFirstNode] & dicfmt::kLengthMask;
    if (length > 0 && dicfmt::kFirstNode + 1 + length <= size)
      keys.emplace_back(reinterpret_cast<const char *>(data + dicfmt::kFirstNode + 1), length);
  }
  return keys;
}

// Repair on any image: what it keeps makes a sound dictionary, and on a sound
// image it keeps exactly the pairs the chains hold.
void check_salvage(std::span<const unsigned char> image, bool sound) {
  SalvageReport found = salvage(image);
  DicBuilder rebuilt;
  for (const SalvagedPair &p : found.pairs)
    if (rebuilt.add(p.key, p.value) == DicBuilder::Result::full) std::abort();
  if (!verify_image(rebuilt.image(), 1).sound()) std::abort();
  if (!sound) return;
  std::set<std::pair<std::string, std::string>> held, kept;
  walk_pairs(DIC_USER, [&](const DicPair &p) { held.emplace(p.key, p.value); });
  for (const SalvagedPair &p : found.pairs) kept.emplace(p.key, p.value);
  if (held != kept || found.orphaned != 0) std::abort();
}

}  // namespace

// Inputs as large as a user dictionary of some thousands of words.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 1u << 20) return 0;
  const std::string &path = scratch_path();
  FILE *fp = std::fopen(path.c_str(), "wb");
  if (fp == nullptr) std::abort();
  if (size > 0) std::fwrite(data, 1, size, fp);
  std::fclose(fp);

  bool sound_before = verify_image({data, size}, 4).sound();
  check_salvage({data, size}, sound_before);

  char rows[10][kRowSize];
  for (const std::string &key : readings(data, size)) {
    int count = 0;
    int got = GetHanjaWord(DIC_USER, key.c_str(), 0, 10, &count, rows);
    if (got != count || got < 0 || got > 10) std::abort();
    GetHanjaWord(DIC_USER, key.c_str(), 2, 3, &count, rows);
    std::string value = got > 0 ? std::string(rows[0]) : key;
    CheckDic(DIC_USER, key.c_str(), value.c_str());

    // A word of the reading's length that is unlikely to be there yet.
    std::string added(key.size(), '\xEA');
    int inserted = InsertHanjaWord(DIC_USER, key.c_str(), added.c_str());
    if (sound_before && dicfmt::storable_pair(key, added)) {
      if (inserted != 0 || CheckDic(DIC_USER, key.c_str(), added.c_str()) != 1) std::abort();
    }
    DeleteHanjaWord(DIC_USER, key.c_str(), value.c_str());
    UpdateHanjaWord(DIC_USER, key.c_str(), added.c_str(), std::string(key.size(), '\xEB').c_str());
    if (sound_before) {
      std::vector<unsigned char> after = read_back(path);
      if (!verify_image(after, 4).sound()) std::abort();
    }
  }
  return 0;
}
