// The chain-contiguous layout of a built dictionary.
//
// A lookup reads one slot and then walks one chain. In the insertion layout the
// nodes of a chain lie wherever they happened to be appended, so a walk touches
// many pages of the file; in the chain layout every chain's nodes lie next to
// each other, chain after chain in slot order, so the walk reads one or two
// stream buffers. Inside a chain the keys keep the order insertion gave them,
// each key directly followed by its values. Both layouts answer every lookup,
// membership check and pair walk identically, and later insertions into a file
// of either layout work as usual: only the offsets differ.
#pragma once
#include <vector>

// Lays out the chains of `image` contiguously. `image` must be a file with no
// free nodes whose chains can all be walked to their end, as DicBuilder makes
// it; anything a chain walk cannot trust ends that chain in the result.
std::vector<unsigned char> chain_layout(const std::vector<unsigned char> &image);
