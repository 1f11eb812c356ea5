#pragma once
// The client record of the documents module's dev.dat: key "CODCLI" (6
// bytes), data the client code as a little-endian signed 32-bit integer.
// 0 stands for "no client code".

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "docstore/keyed_block.h"
#include "docstore/record_search.h"

namespace velmora::docstore {

inline constexpr std::string_view kClientKey = "CODCLI";
inline constexpr int kClientKeyLength = 6;
inline constexpr int32_t kClientDataLength = 4;

// The record buffer of a client-record retrieval: the key, then 4 bytes.
class ClientRecordBuffer {
 public:
  ClientRecordBuffer();
  RecordQuery Query(int32_t bucketCount);
  // The code, when the retrieval found the record with all 4 data bytes.
  std::optional<int32_t> CodeAfter(const RetrieveOutcome& outcome) const;

 private:
  std::array<char, kClientKeyLength + kClientDataLength> bytes_{};
};

}  // namespace velmora::docstore
