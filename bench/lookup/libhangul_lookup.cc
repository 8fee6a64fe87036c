// A cold libhangul lookup as a whole process: load the table, look one reading
// up, print its words. The counterpart of `glosset-dict -s get READING`.
#include <hangul.h>

#include <cstdio>

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: libhangul_lookup HANJA.TXT READING\n");
    return 2;
  }
  HanjaTable *table = hanja_table_load(argv[1]);
  if (table == nullptr) return 2;
  HanjaList *list = hanja_table_match_exact(table, argv[2]);
  int n = list == nullptr ? 0 : hanja_list_get_size(list);
  for (int i = 0; i < n; ++i) std::printf("%s\n", hanja_list_get_nth_value(list, static_cast<unsigned>(i)));
  if (list != nullptr) hanja_list_delete(list);
  hanja_table_delete(table);
  return n > 0 ? 0 : 1;
}
