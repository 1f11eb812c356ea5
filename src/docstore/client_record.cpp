#include "docstore/client_record.h"

#include <algorithm>

#include "common/fixed_text.h"

namespace velmora::docstore {

ClientRecordBuffer::ClientRecordBuffer() {
  std::copy(kClientKey.begin(), kClientKey.end(), bytes_.begin());
}

RecordQuery ClientRecordBuffer::Query(int32_t bucketCount) {
  return RecordQuery{.record = bytes_,
                     .keyLength = kClientKeyLength,
                     .bucketCount = bucketCount,
                     .declaredKeyLength = kClientKeyLength,
                     .dataLength = kClientDataLength};
}

std::optional<int32_t> ClientRecordBuffer::CodeAfter(const RetrieveOutcome& outcome) const {
  // A self-describing record shorter than the buffer is found with fewer bytes filled.
  if (outcome.status != kStatusFound || outcome.filled < static_cast<int32_t>(bytes_.size()))
    return std::nullopt;
  return ReadInt32(bytes_, kClientKeyLength);
}

}  // namespace velmora::docstore
