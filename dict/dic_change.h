// One change of a dictionary file: one at a time, and all or nothing.
//
// The input method reads the user dictionary at any moment, knowing nothing
// but the file format, and the editor, glosset-dict and a second editor may
// all change it. So a change never patches the file a reader may have open:
//
//  - It takes the dictionary's write lock (dic_lock.h) for its whole length,
//    planning included; a second writer waits for it a few seconds and then
//    gives up. Readers take no lock and never wait.
//  - The store's steps read the locked file through source() until they
//    first write; then the file is copied into an unnamed file in the same
//    directory and every step from then on reads and writes the copy.
//  - commit() makes the copy durable (fsync), gives it a fresh unpredictable
//    name and renames it over the file, all relative to the directory held
//    open, and makes the rename durable (fsync of the directory). A reader
//    sees the old file or the new one, never a mix. A change that fails or is
//    abandoned leaves the file as it was.
//
// The copy carries the file's owner, group and mode exactly; where it cannot
// (the file belongs to another user) nothing is written and the change fails
// with Kind::foreign. A symbolic link is followed by the kernel, and its
// target, in its own directory, is what gets replaced.
#pragma once
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "dict/dic_pages.h"

namespace dicchange {

struct ChangeState;

class Change {
 public:
  Change();
  ~Change();
  Change(const Change &) = delete;
  Change &operator=(const Change &) = delete;

  // Locks the dictionary at `path` for a change. False, with the reason in
  // dicerr, when the file cannot be opened for update or its lock was not
  // granted in time.
  bool begin(const char *path);
  // Whether the last begin() failed because nothing is at the path.
  bool missing() const { return missing_; }
  // The file as this change sees it, for the store's steps: the locked file,
  // copied on the first write. Only between begin() and commit().
  dicfile::PageSource &source();
  // The whole file as this change sees it; refused (EFBIG) when it is larger
  // than a dictionary can be.
  bool read(std::vector<unsigned char> &image);
  // Makes `image` the whole content of the file.
  bool replace(std::span<const unsigned char> image);
  // Before commit(): keeps the file as it was under a new name beside it,
  // "<file><suffix>", else "<file><suffix>.N", else one with a random part.
  // Returns that name as shown to the user, or "" (reason in dicerr). Taken
  // back when the change does not commit.
  std::string keep_original(const char *suffix);
  // Puts what the change wrote in place of the file. True also when the
  // change wrote nothing (then nothing happens).
  bool commit();

 private:
  void end();

  std::unique_ptr<ChangeState> state_;
  bool missing_ = false;
};

// Creates a file holding `bytes` at `path` in one step, unless something is
// at `path` already: 0 when a file is there afterwards (ours or another's),
// -1 with errno set when it could not be created. A reader never sees it
// half written.
int create_whole(const char *path, std::span<const unsigned char> bytes);

// The directory part of `path`: "." for a bare name, "/" for a name directly under the root.
std::string directory_of(const std::string &path);

}  // namespace dicchange
