#include "link/transfer_buffer.h"

#include <algorithm>
#include <atomic>

namespace velmora::link {
namespace {
std::atomic<bool> g_zeroWholeBlock{false};
}

bool TransferBuffer::Allocate(std::size_t bytes) {
  dirty_ = 0;
  return block_.Allocate(bytes);
}

void TransferBuffer::Free() {
  block_.Free();
  dirty_ = 0;
}

void TransferBuffer::MarkWritten(std::size_t end) {
  dirty_ = std::max(dirty_, std::min(end, block_.size()));
}

void TransferBuffer::ZeroForExchange() {
  if (!block_) return;
  const std::size_t n = g_zeroWholeBlock ? block_.size() : dirty_;
  std::fill_n(block_.data(), n, '\0');
  dirty_ = 0;
}

void TransferBuffer::SetZeroWholeBlock(bool whole) { g_zeroWholeBlock = whole; }

}  // namespace velmora::link
