#include "dict/dic_error.h"

#include <cstring>

namespace dicerr {
namespace {
Failure g_last;
}

const Failure &last() { return g_last; }

void clear() { g_last = Failure{}; }

void set(Kind kind, const std::string &path, int error) {
  if (g_last.kind != Kind::none) return;
  g_last.kind = kind;
  g_last.error = error;
  g_last.path = path;
}

std::string reason(const Failure &failure) {
  switch (failure.kind) {
    case Kind::none: return "no failure";
    case Kind::system: return std::strerror(failure.error);
    case Kind::not_regular: return "not a regular file";
    case Kind::busy: return "another program is changing it";
    case Kind::full: return "the dictionary is full";
    case Kind::damaged: return "the file is damaged where the change would go (see verify and repair)";
    case Kind::foreign:
      return "it belongs to another user, and a change would give it to you or alter who may read it; "
             "nothing was written (its owner can make the change)";
  }
  return "unknown failure";
}

}  // namespace dicerr
