// Why the last change of a dictionary failed.
//
// The store's entry points answer with result codes only; this records the
// reason behind a failure, so that a caller that reports to a person (the
// command line) can name the file and the real cause rather than guess.
#pragma once
#include <string>

namespace dicerr {

enum class Kind {
  none,
  system,       // a system call failed; `error` holds its errno
  not_regular,  // the path names something other than a regular file
  busy,         // another program held the dictionary's lock too long
  full,         // the new node would lie beyond the format's 24-bit offsets
  damaged,      // the part of the file the change touches cannot be trusted
  foreign,      // another user's file: a replacement would change its owner
};

struct Failure {
  Kind kind = Kind::none;
  int error = 0;
  std::string path;
};

// The first failure recorded since the last clear().
const Failure &last();
void clear();
// Records a failure unless one is recorded already: the first cause is the real one.
void set(Kind kind, const std::string &path, int error = 0);

// The reason in words: strerror() for a system failure.
std::string reason(const Failure &failure);

}  // namespace dicerr
