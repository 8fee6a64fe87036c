// Window texts: catalog "glosset", set 2, with a built-in default.
#pragma once
#include <Xm/Xm.h>

#include <string>

// The catalog text of set 2, number `number`, as the catalog gives it (in the
// locale's own encoding); or, when the catalog is missing or lacks the number,
// `euc_default` (an EUC-KR text) in the encoding of the running text mode.
std::string catalog_text(int number, const char *euc_default);

// The same text as a compound string of the current locale; the caller frees it.
XmString catalog_xmstring(int number, const char *euc_default);
