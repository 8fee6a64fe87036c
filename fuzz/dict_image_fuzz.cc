// Fuzz target: a dictionary image as it might be found on disk.
//
// Lookups, membership checks, an insertion, a deletion and a replacement run
// on each input through the store's steps on the image in memory (a page
// source over a byte buffer), and the whole-file check and repair read it.
// For one input in kFileEvery the same runs through the entry points on a
// file, with the change's lock, copy and rename, and the pair walk. Beyond
// "no crash, no overrun, no endless loop", a file that checks sound before
// must check sound after the changes and hold the pair just added, and what
// repair keeps of any file must make a sound dictionary.
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
#include "dict/dic_file.h"
#include "dict/dic_format.h"
#include "dict/dic_repair.h"
#include "dict/dic_verify.h"
#include "dict/dic_walk.h"
#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"

namespace {

// The file-based runs cost about ten times the runs in memory, the check of
// repair (a rebuilt dictionary and its check) about as much as all the rest;
// the fuzzer takes them for some inputs, the replay of the corpus for all.
#ifdef GLOSSET_FUZZ_REPLAY
constexpr std::size_t kFileEvery = 1, kSalvageEvery = 1;
#else
constexpr std::size_t kFileEvery = 16, kSalvageEvery = 4;
#endif
constexpr char kName[] = "fuzz";  // what the steps' failures name

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
void check_salvage(std::span<const unsigned char> image, const VerifyReport &report) {
  SalvageReport found = salvage(image);
  DicBuilder rebuilt;
  for (const SalvagedPair &p : found.pairs)
    if (rebuilt.add(p.key, p.value) == DicBuilder::Result::full) std::abort();
  if (!verify_image(rebuilt.image(), 1).sound()) std::abort();
  if (!report.sound()) return;
  dicfile::MemorySource source(image);
  dicfile::Pager pages(source);
  std::set<std::pair<std::string, std::string>> kept;
  for (const SalvagedPair &p : found.pairs) {
    kept.emplace(p.key, p.value);
    // A lookup takes C strings: a word holding a NUL byte cannot be asked for.
    bool askable = p.key.find('\0') == std::string::npos && p.value.find('\0') == std::string::npos;
    if (askable && dicstore::check(pages, p.key.c_str(), p.value.c_str()) != 1) std::abort();
  }
  if (kept.size() != found.pairs.size() || kept.size() != report.values || found.orphaned != 0) std::abort();
}

// The words of `key` as a lookup gives them (checked), and the first one, or
// `key` itself when there is none.
std::string first_word(dicfile::Pager &pages, const std::string &key) {
  char rows[10][kRowSize];
  int count = 0;
  int got = dicstore::lookup(pages, key.c_str(), 0, 10, &count, rows);
  if (got != count || got < 0 || got > 10) std::abort();
  std::string first = got > 0 ? std::string(rows[0]) : key;
  dicstore::lookup(pages, key.c_str(), 2, 3, &count, rows);
  dicstore::check(pages, key.c_str(), first.c_str());
  return first;
}

// Add, delete and replace as the entry points do, each step on the image in
// memory through a pager of its own (a change of its own). The caller checks
// that a sound image stays sound.
void change_in_memory(std::vector<unsigned char> &image, const std::string &key, bool sound) {
  auto step = [&image](auto &&fn) {
    dicfile::MemorySource source(image);
    dicfile::Pager pages(source);
    return fn(pages);
  };
  std::string value = step([&](dicfile::Pager &p) { return first_word(p, key); });
  std::string added(key.size(), '\xEA'), replaced(key.size(), '\xEB');  // unlikely to be there yet
  int inserted = step([&](dicfile::Pager &p) { return dicstore::insert_word(p, kName, key.c_str(), added.c_str()); });
  if (sound && dicfmt::storable_pair(key, added) &&
      (inserted != 0 || step([&](dicfile::Pager &p) { return dicstore::check(p, key.c_str(), added.c_str()); }) != 1))
    std::abort();
  step([&](dicfile::Pager &p) { return dicstore::delete_word(p, kName, key.c_str(), value.c_str()); });
  step([&](dicfile::Pager &p) {
    return dicstore::insert_word(p, kName, key.c_str(), replaced.c_str()) == 0 &&
           dicstore::delete_word(p, kName, key.c_str(), added.c_str()) >= 0;
  });
}

// The same through the entry points on a file, and the pair walk.
void change_on_file(const uint8_t *data, size_t size, const std::vector<std::string> &keys, bool sound) {
  const std::string &path = scratch_path();
  FILE *fp = std::fopen(path.c_str(), "wb");
  if (fp == nullptr) std::abort();
  if (size > 0) std::fwrite(data, 1, size, fp);
  std::fclose(fp);
  walk_pairs(DIC_USER, [](const DicPair &) {});
  char rows[10][kRowSize];
  for (const std::string &key : keys) {
    int count = 0;
    int got = GetHanjaWord(DIC_USER, key.c_str(), 0, 10, &count, rows);
    if (got != count || got < 0 || got > 10) std::abort();
    std::string value = got > 0 ? std::string(rows[0]) : key;
    CheckDic(DIC_USER, key.c_str(), value.c_str());
    std::string added(key.size(), '\xEA');
    int inserted = InsertHanjaWord(DIC_USER, key.c_str(), added.c_str());
    if (sound && dicfmt::storable_pair(key, added) &&
        (inserted != 0 || CheckDic(DIC_USER, key.c_str(), added.c_str()) != 1))
      std::abort();
    DeleteHanjaWord(DIC_USER, key.c_str(), value.c_str());
    UpdateHanjaWord(DIC_USER, key.c_str(), added.c_str(), std::string(key.size(), '\xEB').c_str());
    if (sound && !verify_image(read_back(path), 4).sound()) std::abort();
  }
}

}  // namespace

// Inputs as large as a user dictionary of some thousands of words.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 1u << 20) return 0;
  std::span<const unsigned char> input(data, size);
  VerifyReport before = verify_image(input, 4);
  std::size_t mix = size;
  for (std::size_t i = size > 32 ? size - 32 : 0; i < size; ++i) mix = mix * 31 + data[i];
  if (mix % kSalvageEvery == 0) check_salvage(input, before);
  std::vector<std::string> keys = readings(data, size);
  std::vector<unsigned char> image(input.begin(), input.end());
  for (const std::string &key : keys) change_in_memory(image, key, before.sound());
  if (before.sound() && !verify_image(image, 4).sound()) std::abort();
  if (mix / kSalvageEvery % kFileEvery == 0) change_on_file(data, size, keys, before.sound());
  return 0;
}
