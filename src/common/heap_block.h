#pragma once
// One zero-filled block of the process heap, freed by its owner.

#include <cstddef>

namespace velmora {

class HeapBlock {
 public:
  HeapBlock() = default;
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  ~HeapBlock() { Free(); }

  bool Allocate(std::size_t bytes);
  void Free();
  char* data() const { return data_; }
  std::size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace velmora
