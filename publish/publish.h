// Publishing the user dictionary to the files input methods read, and keeping
// those files in step with every change of it.
//
// A target is written whole from the dictionary as it is now. Before that,
// words in the file that glosset did not put there (a hand-made byeoru-dict,
// a line someone added since the last publish) are taken into the dictionary
// (for fcitx5, whose file holds the system table, only words that table
// lacks), so that no word of the file is lost; the
// file as it was before the first publish is kept as FILE.before-glosset, and
// words the dictionary cannot hold are listed in FILE.not-imported.
#pragma once
#include <string>
#include <vector>

#include "publish/targets.h"
#include "publish/user_words.h"

namespace publish {

struct Outcome {
  Target target;
  bool ok = false;
  std::string why;            // when not ok
  long words = 0;             // the user's words in the file
  long taken = 0;             // words taken into the dictionary from the file
  std::vector<NotTaken> not_taken;
  std::string not_imported;   // FILE.not-imported, when pairs were listed there now
  std::string backup;         // FILE.before-glosset, when kept now
};

// Writes each target now; with `remember`, also keeps it in step from now on
// (it is remembered only once it was written).
std::vector<Outcome> publish_now(const std::vector<Target> &targets, bool remember);
// Writes again every target remembered for the user dictionary (none: nothing
// happens, at the cost of one stat). Called after a change was committed.
std::vector<Outcome> keep_in_step();

}  // namespace publish
