#include "common/heap_block.h"

#include <windows.h>

namespace velmora {

bool HeapBlock::Allocate(std::size_t bytes) {
  Free();
  data_ = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
  size_ = data_ != nullptr ? bytes : 0;
  return data_ != nullptr;
}

void HeapBlock::Free() {
  if (data_ != nullptr) HeapFree(GetProcessHeap(), 0, data_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace velmora
