#include "docstore/layout_cache.h"

namespace velmora::docstore {
namespace {
bool IsFree(const LayoutCache::Slot& slot) { return slot.handle <= 0; }
}  // namespace

int LayoutCache::Find(FileKey handle) const {
  if (handle <= 0) return 0;
  for (const Slot& slot : slots_)
    if (slot.handle == handle) return slot.layout;
  return 0;
}

bool LayoutCache::Remember(FileKey handle, int layout) {
  if (handle <= 0) return false;
  Slot* target = nullptr;
  for (Slot& slot : slots_)
    if (slot.handle == handle) target = &slot;
  if (target == nullptr)
    for (Slot& slot : slots_)
      if (IsFree(slot)) {
        target = &slot;
        break;
      }
  if (target == nullptr) return false;
  *target = Slot{handle, layout};
  return true;
}

void LayoutCache::Forget(FileKey handle) {
  for (Slot& slot : slots_)
    if (handle == 0 || slot.handle == handle) slot = Slot{};
}

int LayoutOfBlock1(const Block& block1) {
  return IsSelfDescribingHeader(block1) ? kLayoutSelfDescribing : kLayoutIndex;
}

int LayoutOf(LayoutCache& cache, FileKey handle, BlockReader& file) {
  if (const int cached = cache.Find(handle); cached != 0) return cached;
  Block block1{};
  if (!file.ReadBlock(1, block1)) return kLayoutUnreadable;
  const int layout = LayoutOfBlock1(block1);
  cache.Remember(handle, layout);
  return layout;
}

}  // namespace velmora::docstore
