// A whole-file check of a dictionary image.
//
// Walks every chain and every free list once, marking each node it meets, and
// reports what a sound dictionary never holds. It is how a user finds out
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
  bool sound() const { return total == 0; }
};

VerifyReport verify_image(std::span<const unsigned char> image, std::size_t limit = 200);
