// A whole-file check of a dictionary image.
//
// Walks every chain and every free list once, marking each node it meets,
// then the node area node by node, and reports what a sound dictionary never
// holds, nodes that nothing reaches among them. It is how a user finds out
// whether a dictionary is damaged before the store refuses to change it.
#pragma once
#include <cstddef>
#include <span>
#include <string>
#include <vector>

struct VerifyReport {
  std::vector<std::string> problems;  // the first `limit` problems, one line each
  std::size_t total = 0;              // every problem found
  std::size_t keys = 0;
  std::size_t values = 0;
  std::size_t free_nodes = 0;
  std::size_t orphan_keys = 0;    // readings no chain or free list reaches
  std::size_t orphan_values = 0;  // words no chain or free list reaches
  bool sound() const { return total == 0; }
};

VerifyReport verify_image(std::span<const unsigned char> image, std::size_t limit = 200);
