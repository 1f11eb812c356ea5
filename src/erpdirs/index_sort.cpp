#include "erpdirs/index_sort.h"

#include <utility>
#include <vector>

namespace velmora::erpdirs {
namespace {

constexpr int kInsertionRange = 7;

void InsertionSort(int l, int r, const SortCompare& compare, const SortSwap& swap) {
  for (int j = l + 1; j <= r; ++j)
    for (int i = j; i > l && compare(i, i - 1) < 0; --i) swap(i, i - 1);
}

}  // namespace

void SortByIndex(int count, const SortCompare& compare, const SortSwap& swap) {
  // Pending ranges; the larger part is pushed and the smaller one is done
  // first, so the stack never holds more than about log2(count) ranges.
  std::vector<std::pair<int, int>> pending;
  int l = 1;
  int r = count;
  for (;;) {
    if (r - l < kInsertionRange) {
      InsertionSort(l, r, compare, swap);
      if (pending.empty()) return;
      std::tie(l, r) = pending.back();
      pending.pop_back();
      continue;
    }
    // Median of three into item l; afterwards item l + 1 is not after the
    // pivot and item r is not before it, so the scans below stop in range.
    swap((l + r) / 2, l);
    if (compare(l + 1, r) > 0) swap(l + 1, r);
    if (compare(l + 1, l) > 0) {
      swap(l + 1, l);
    } else if (compare(l, r) > 0) {
      swap(l, r);
    }
    int i = l + 1;
    int j = r;
    for (;;) {
      // The range checks never trigger with a consistent compare (the items
      // placed above stop both scans); they keep a careless one in bounds.
      do ++i;
      while (i <= r && compare(i, l) < 0);
      do --j;
      while (j > l && compare(j, l) > 0);
      if (j < i) break;
      swap(i, j);
    }
    swap(l, j);
    if (r - i + 1 >= j - l) {
      pending.emplace_back(i, r);
      r = j - 1;
    } else {
      pending.emplace_back(l, j - 1);
      l = i;
    }
  }
}

}  // namespace velmora::erpdirs
