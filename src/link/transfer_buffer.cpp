#include "link/transfer_buffer.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

namespace velmora::link {
namespace {
std::atomic<bool> g_zeroWholeBlock{false};
}

bool TransferBuffer::Allocate(std::size_t bytes) {
  Free();
  data_ = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
  size_ = data_ != nullptr ? bytes : 0;
  dirty_ = 0;
  return data_ != nullptr;
}

void TransferBuffer::Free() {
  if (data_ != nullptr) HeapFree(GetProcessHeap(), 0, data_);
  data_ = nullptr;
  size_ = 0;
  dirty_ = 0;
}

void TransferBuffer::MarkWritten(std::size_t end) { dirty_ = std::max(dirty_, std::min(end, size_)); }

void TransferBuffer::ZeroForExchange() {
  if (data_ == nullptr) return;
  const std::size_t n = g_zeroWholeBlock ? size_ : dirty_;
  std::fill_n(data_, n, '\0');
  dirty_ = 0;
}

void TransferBuffer::SetZeroWholeBlock(bool whole) { g_zeroWholeBlock = whole; }

}  // namespace velmora::link
