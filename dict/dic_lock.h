// The lock of a change, and the directory entry of the file it locks.
//
// The dictionary is opened by the kernel (so that its permissions and
// fs.protected_symlinks have their say) for writing, and locked with an
// open-file-description write lock, which only a descriptor open for writing
// can take. A reader can still hold a read lock, which keeps every write lock
// off that inode: then the change puts an identical copy, locked before
// anyone else can open it, in the file's place, and the reader's lock stays
// on the old inode (Change::begin). Then the directory that holds the very inode opened is opened and
// kept: everything else the change does is relative to it, so a path
// component swapped meanwhile changes nothing.
#pragma once
#include <sys/stat.h>

#include <string>

namespace dicchange {

// How long a change waits for another writer's lock, in milliseconds, when
// GLOSSET_LOCK_WAIT_MS does not say. The command line waits 5 s; the editor
// sets half a second so that it never seems to freeze.
void set_lock_wait_ms(long ms);

struct LockedFile {
  LockedFile() = default;
  LockedFile(const LockedFile &) = delete;
  LockedFile &operator=(const LockedFile &) = delete;
  ~LockedFile() { release(); }
  void release();

  int fd = -1;         // the dictionary, open for reading and writing, locked
  int dir = -1;        // the directory holding it
  std::string name;    // its name there
  std::string shown;   // the directory's path and the name, for messages
  struct stat st {};   // the file as it was locked
  // Not locked: a reader holds a read lock on it, so no writer holds it
  // either; the change takes the file over (Change::begin).
  bool squatted = false;
};

// Opens and locks the dictionary at `path` (or finds it squatted); false
// with the reason in dicerr (and `missing` set when nothing is at the path).
bool lock_dictionary(const char *path, LockedFile &file, bool &missing);

// Whether `name` in directory `dir` is the inode `st` describes (not followed when a link).
bool names_inode(int dir, const std::string &name, const struct stat &st);

}  // namespace dicchange
