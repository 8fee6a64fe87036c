// Window texts from the message catalog, with built-in EUC-KR defaults.
#include "ui/catalog_text.h"

#include <nl_types.h>

#include "app/glosset.h"
#include "editor/builtin_text.h"

namespace {
constexpr int kSet = 2;
}

std::string catalog_text(int number, const char *euc_default) {
  const char *text = catgets(Dtb_project_catd, kSet, number, euc_default);
  // catgets hands back the default itself when it has nothing; only that one
  // is ours to convert: a catalog text is already in the locale's encoding.
  if (text == euc_default) return builtin_text(euc_default);
  return text;
}

XmString catalog_xmstring(int number, const char *euc_default) {
  std::string text = catalog_text(number, euc_default);
  return XmStringCreateLocalized(const_cast<char *>(text.c_str()));
}
