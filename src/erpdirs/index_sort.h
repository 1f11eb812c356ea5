#pragma once
// Sorting of items that only the caller can see: the sort works on the
// indices 1 to count and asks the caller to compare and exchange items.

#include <cstdint>
#include <functional>

namespace velmora::erpdirs {

// compare(i, j): below, equal to or above 0 as item i sorts before, with or
// after item j. swap(i, j): exchanges the two items.
using SortCompare = std::function<int16_t(int, int)>;
using SortSwap = std::function<void(int, int)>;

// Quicksort with an explicit stack of pending ranges; ranges of 7 items or
// fewer are finished by straight insertion. The pivot is the median of the
// first, middle and last items.
void SortByIndex(int count, const SortCompare& compare, const SortSwap& swap);

}  // namespace velmora::erpdirs
