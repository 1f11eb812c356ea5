#pragma once
// Remembers the layout of up to five open keyed files, so that block 1 of a
// file is read once per open. A slot whose handle is 0 or less (-1 included)
// is free. The cache is plain data: its owner serialises the use.

#include <array>
#include <cstdint>

#include "docstore/keyed_block.h"

namespace velmora::docstore {

// A file's handle value, as the cache stores it.
using FileKey = std::intptr_t;

class LayoutCache {
 public:
  static constexpr std::size_t kSlots = 5;

  // The cached layout of `handle`, or 0 when it is not cached.
  int Find(FileKey handle) const;
  // Stores the layout in the slot that already holds `handle`, else in the
  // first free slot; when every slot holds another file nothing is stored.
  // Returns whether it was stored.
  bool Remember(FileKey handle, int layout);
  // Frees the slots of `handle`; a handle of 0 frees every slot.
  void Forget(FileKey handle);

  struct Slot {
    FileKey handle = -1;
    int layout = 0;
  };
  const std::array<Slot, kSlots>& slots() const { return slots_; }

 private:
  std::array<Slot, kSlots> slots_{};
};

// Layout 2 when block 1 is a self-describing header, else 1.
int LayoutOfBlock1(const Block& block1);

// The layout of an open file: from the cache, else from its block 1 (cached
// when a slot is free). 0 when block 1 cannot be read; nothing is cached then.
int LayoutOf(LayoutCache& cache, FileKey handle, BlockReader& file);

}  // namespace velmora::docstore
