// Salvaging the pairs of a damaged dictionary.
//
// Nodes are only ever appended and never moved, so the node area is a run of
// whole nodes from its start to the end of the file, whatever happened to
// the links between them. Salvage walks that run node by node: it keeps every
// reading with the words that follow it in its chain — also where no chain
// reaches them any more, as behind a cut link — and leaves out the nodes the
// free lists hold, which are words already deleted.
#pragma once
#include <cstddef>
#include <span>
#include <string>
#include <vector>

struct SalvagedPair {
  std::string key;    // EUC-KR
  std::string value;  // EUC-KR
  bool orphaned = false;  // from nodes no chain reaches: worth a look
};

struct SalvageReport {
  bool dictionary = false;  // the file has a whole header and the signature
  // Every pair kept, in the order importing them rebuilds the dictionary.
  std::vector<SalvagedPair> pairs;
  std::size_t reached = 0;   // pairs a chain still reaches
  std::size_t orphaned = 0;  // pairs kept from nodes no chain reaches
  std::size_t free_nodes = 0;  // nodes of the free lists, left out
  // Words left out because their reading could not be told, and nodes left
  // out because they cannot be stored (no size class, or a word whose length
  // differs from its reading's).
  std::vector<std::string> keyless_words;
  std::size_t unstorable = 0;
  std::size_t trailing_bytes = 0;  // bytes at the end that hold no whole node
};

SalvageReport salvage(std::span<const unsigned char> image);
