// How a path-based entry point hands its dictionary to a step: opened once,
// read through one Pager, and for a change, locked and committed around it.
#pragma once
#include "dict/dic_change.h"
#include "dict/dic_file.h"
#include "dict/hanja_util.h"

namespace dicstore {

// step(pages, path) on the dictionary of `type` opened for reading; -1 when it cannot be opened.
template <class Step>
int on_dictionary(int type, Step step) {
  char path[kPathSize];
  get_dicname(type, path);
  dicfile::DicFile file = dicfile::DicFile::open(path, dicfile::Mode::read);
  if (!file) return -1;
  dicfile::Pager pages(file.source());
  return step(pages, static_cast<const char *>(path));
}

// step(pages, path) as one change of the dictionary of `type`: 0 when it
// returned 0 and the change was committed, else -1.
template <class Step>
int in_change(int type, Step step) {
  char path[kPathSize];
  get_dicname(type, path);
  dicchange::Change change;
  if (!change.begin(path)) return -1;
  dicfile::Pager pages(change.source());
  if (step(pages, static_cast<const char *>(path)) != 0) return -1;
  return change.commit() ? 0 : -1;
}

}  // namespace dicstore
