#include "docstore/client_record.h"

#include <algorithm>
#include <array>

#include "common/fixed_text.h"

namespace velmora::docstore {

std::optional<int32_t> FindClientCode(BlockReader& dev, int layout, int32_t bucketCount, int32_t& probeLimit,
                                      const ErrorSink& showError) {
  std::array<char, kClientKeyLength + kClientDataLength> record{};
  std::copy(kClientKey.begin(), kClientKey.end(), record.begin());
  const RecordQuery query{.record = record,
                          .keyLength = kClientKeyLength,
                          .bucketCount = bucketCount,
                          .declaredKeyLength = kClientKeyLength,
                          .dataLength = kClientDataLength};
  const RetrieveOutcome outcome = RetrieveRecord(dev, layout, query, probeLimit, showError);
  if (outcome.status != kStatusFound) return std::nullopt;
  // A self-describing record shorter than its buffer reports what it filled.
  if (layout == kLayoutSelfDescribing && outcome.filled < static_cast<int32_t>(record.size())) return std::nullopt;
  return ReadInt32(record, kClientKeyLength);
}

}  // namespace velmora::docstore
