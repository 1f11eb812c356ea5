#pragma once
// One of the link's two transfer buffers (kTransferBufferSize bytes): a zero-filled
// block of the process heap. Before every exchange the buffer reads as all
// zeros again; only the bytes written since the last zeroing are cleared,
// which gives the same contents as clearing the whole block.

#include <cstddef>

#include "common/heap_block.h"

namespace velmora::link {

class TransferBuffer {
 public:
  TransferBuffer() = default;
  TransferBuffer(const TransferBuffer&) = delete;
  TransferBuffer& operator=(const TransferBuffer&) = delete;
  ~TransferBuffer() { Free(); }

  bool Allocate(std::size_t bytes);
  void Free();
  char* data() const { return block_.data(); }
  std::size_t size() const { return block_.size(); }
  explicit operator bool() const { return static_cast<bool>(block_); }

  // Notes that bytes [0, end) may have been written.
  void MarkWritten(std::size_t end);
  // Makes the whole buffer zero again.
  void ZeroForExchange();

  // Benchmarks compare with clearing the whole block every time.
  static void SetZeroWholeBlock(bool whole);

 private:
  HeapBlock block_;
  std::size_t dirty_ = 0;
};

}  // namespace velmora::link
