// libFuzzer target: the record search, the layout decision and the hash
// functions over arbitrary block contents. The first bytes of the input
// choose the query; the rest is the file image.
//
//   0     layout (0 to 3)
//   1     key length (0 to 40)
//   2     bit 0: declared key length differs
//   3-4   data length (signed 16-bit)
//   5-6   bucket count (signed 16-bit)
//   7     probe limit: 200, 5987, 1 or 2
//   8...  key bytes, then the blocks

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "docstore/hash_bucket.h"
#include "docstore/keyed_open.h"
#include "docstore/layout_cache.h"
#include "docstore/record_search.h"

using namespace velmora::docstore;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  const int layout = data[0] & 3;
  const int keyLength = data[1] % 41;
  const int declared = keyLength + (data[2] & 1);
  const auto dataLength = static_cast<int16_t>(data[3] | data[4] << 8);
  const auto bucketCount = static_cast<int16_t>(data[5] | data[6] << 8);
  static constexpr int32_t kLimits[] = {kInitialProbeLimit, kSixByteKeyProbeLimit, 1, 2};
  int32_t probeLimit = kLimits[data[7] & 3];
  data += 8;
  size -= 8;
  if (size < static_cast<std::size_t>(keyLength)) return 0;

  // A buffer of exactly the stated size, so any write past it is caught.
  std::vector<char> record(static_cast<std::size_t>(keyLength + (dataLength > 0 ? dataLength : 0)));
  for (int i = 0; i < keyLength; ++i)
    record[static_cast<std::size_t>(i)] = static_cast<char>(data[i]);
  const std::string_view image(reinterpret_cast<const char*>(data + keyLength), size - keyLength);

  MemoryBlockReader blocks(image);
  const RecordQuery query{.record = record,
                          .keyLength = keyLength,
                          .bucketCount = bucketCount,
                          .declaredKeyLength = declared,
                          .dataLength = dataLength};
  const RetrieveOutcome outcome =
      RetrieveRecord(blocks, layout, query, probeLimit, [](std::string_view) {});
  if (outcome.filled < 0 || static_cast<std::size_t>(outcome.filled) > record.size())
    __builtin_trap();
  if (outcome.status != 0 && outcome.status != 1 && outcome.status != 3 && outcome.status != 4 &&
      outcome.status != 5 && outcome.status != 7 && outcome.status != 10)
    __builtin_trap();

  const std::string_view key(record.data(), static_cast<std::size_t>(keyLength));
  for (int kind : {1, 2, 3, 4, 5, 6, 100}) {
    const int32_t bucket = HashBucket(kind, key, bucketCount);
    if (bucketCount > 0 ? (bucket < 1 || bucket > bucketCount) : bucket != 0) __builtin_trap();
  }

  LayoutCache cache;
  MemoryBlockReader again(image);
  (void)LayoutOf(cache, 1, again);
  MemoryBlockReader obi(image.substr(image.size() / 2));
  (void)ExamineKeyedFile(again, &obi, "dev.dat", {});
  return 0;
}
