// Shared pieces of the in-process window tests: one display for the whole
// run, a fresh main window per test, and readers for what the widgets show.
#pragma once
#include <Xm/Xm.h>

#include <iconv.h>

#include <string>
#include <vector>

namespace ui_test {

XtAppContext app();
Display *display();

// Build the main window as start-up does, under LANG=`lang`, with the catalog
// search path `nlspath` (nullptr: no catalog anywhere), on a new toplevel.
// Clears the delete confirmation first, so that it is filled anew too.
Widget start_main_window(const char *lang, const char *nlspath);
// Destroy the toplevel of the last start_main_window and close its catalog.
void stop_main_window();

// The catalog search path into the build tree's catalogs.
std::string build_nlspath();

// The bytes of a compound string, of a label's labelString, of a list's items.
std::string xm_text(XmString s);
std::string label_text(Widget label);
std::vector<std::string> list_items(Widget list);

// Let the toolkit work off what is pending.
void flush();

// An EUC-KR text in the encoding of `lang` (UTF-8 for the two UTF-8 names),
// converted with iconv, independently of the program's own tables.
inline std::string euc_in_mode(const std::string &euc, const std::string &lang) {
  if (lang != "ko_KR.UTF-8" && lang != "ko.UTF-8") return euc;
  iconv_t cd = iconv_open("UTF-8", "EUC-KR");
  std::string out(euc.size() * 2 + 1, '\0');
  char *in = const_cast<char *>(euc.data());
  size_t in_left = euc.size();
  char *o = out.data();
  size_t out_left = out.size();
  iconv(cd, &in, &in_left, &o, &out_left);
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace ui_test
