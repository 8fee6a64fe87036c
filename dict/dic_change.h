// One change of a dictionary file: one at a time, and all or nothing.
//
// The input method reads the user dictionary at any moment, knowing nothing
// but the file format, and the editor, glosset-dict and a second editor may
// all change it. So a change never patches the file a reader may have open:
//
//  - It takes an exclusive advisory lock (flock) on the dictionary for its
//    whole length, planning included; a second writer waits for it a few
//    seconds and then gives up. Readers take no lock and never wait.
//  - The steps of the change (every store step that opens the dictionary
//    while the change is under way) work on a copy beside it,
//    "<file>.glosset-tmp", made on the first write.
//  - commit() makes the copy durable (fsync), renames it over the file and
//    makes the rename durable (fsync of the directory). A reader sees the old
//    file or the new one, never a mix. A change that fails or is abandoned
//    leaves the file as it was and removes its copy; a copy left by a process
//    that was killed is removed by the next writer.
//
// The copy keeps the file's mode and, where the system allows, its owner; a
// symbolic link is followed, so that its target is what gets replaced.
#pragma once
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace dicchange {

struct ChangeState;

class Change {
 public:
  Change();
  ~Change();
  Change(const Change &) = delete;
  Change &operator=(const Change &) = delete;

  // Locks the dictionary at `path` for a change, or joins the change this
  // process already has under way on `path` (an outer step then commits).
  // False, with the reason in dicerr, when the file cannot be opened for
  // update or its lock was not granted in time.
  bool begin(const char *path);
  // Whether the last begin() failed because nothing is at the path.
  bool missing() const { return missing_; }
  // The whole file as this change sees it.
  bool read(std::vector<unsigned char> &image);
  // Makes `image` the whole content of the file.
  bool replace(std::span<const unsigned char> image);
  // Before commit(): keeps the file as it was under a new name beside it,
  // "<file><suffix>" or, when that exists, "<file><suffix>.N". Returns that
  // name, or "" (reason in dicerr) when it could not be kept.
  std::string keep_original(const char *suffix);
  // The regular file being changed (symbolic links resolved).
  const std::string &target() const;
  // Puts what the change wrote in place of the file. True also when the
  // change wrote nothing (then nothing happens) and for a joined change.
  bool commit();

 private:
  void end();

  std::unique_ptr<ChangeState> owned_;  // the change this object began
  ChangeState *state_ = nullptr;        // the change it works in, begun or joined
  bool joined_ = false;
  bool missing_ = false;
};

// The file a store step opens for `path`: during a change of `path`, the
// change's copy — made on the first open for update, read from then on;
// otherwise `path` itself. Null (errno set) when the copy cannot be made.
const char *open_path(const char *path, bool for_update);

// Creates a file holding `bytes` at `path` in one step, unless something is
// at `path` already: 0 when a file is there afterwards (ours or another's),
// -1 with errno set when it could not be created. A reader never sees it
// half written.
int create_whole(const char *path, std::span<const unsigned char> bytes);

}  // namespace dicchange
