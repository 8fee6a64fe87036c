// Whole-string conversion between UTF-8 and EUC-KR (part of hanja_ui_util).
#pragma once

// Both return the number of characters converted; 0 for an empty source and on
// failure, in which case the destination is left a terminated (empty) string.
// The destination must hold 2/3 (utfs2eucs) or 3/2 (eucs2utfs) of the source
// length plus one byte.
int utfs2eucs(char *dst, const char *src);
int eucs2utfs(char *dst, const char *src);
