// Files written by the test writer (which shares no code with the reader)
// and read back by the program's search, in both layouts.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "block_fixtures.h"
#include "docstore/record_search.h"
#include "keyed_files/keyed_file_writer.h"

namespace velmora::docstore {
namespace {

using velmora::testing::IndexFileWriter;
using velmora::testing::KeyedRecord;
using velmora::testing::SelfDescribingFileWriter;

std::string RandomBytes(std::mt19937& rng, std::size_t n) {
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xFF);
  return s;
}

struct Read {
  RetrieveOutcome outcome;
  std::string data;
};

Read ReadBack(BlockReader& blocks, int layout, const std::string& key, std::size_t dataLength,
              int32_t buckets, int32_t& probeLimit) {
  std::string record = key + std::string(dataLength, '\0');
  const RecordQuery query{.record = record,
                          .keyLength = static_cast<int>(key.size()),
                          .bucketCount = buckets,
                          .declaredKeyLength = static_cast<int>(key.size()),
                          .dataLength = static_cast<int32_t>(dataLength)};
  Read read;
  read.outcome = RetrieveRecord(blocks, layout, query, probeLimit);
  read.data = record.substr(key.size());
  return read;
}

TEST(WriterBytes, SelfDescribingHeaderAndOneEntryAreLaidOutAsSpecified) {
  SelfDescribingFileWriter writer(3, 3);
  ASSERT_TRUE(writer.Add({"CODCLI", std::string("\x39\x30\x00\x00", 4)}));
  const std::string& image = writer.image();
  ASSERT_EQ(image.size(), 3u * 512);
  const std::string header("\xFF\x70****************\x03\x00\x00\x00", 22);
  EXPECT_EQ(image.substr(0, 22), header);
  EXPECT_EQ(image.substr(22, 490), std::string(490, '\0'));
  // "CODCLI" hashes to bucket 2 of 3: control word 05 66, key, data.
  EXPECT_EQ(image.substr(512, 12), std::string("\x05\x66"
                                               "CODCLI"
                                               "\x39\x30\x00\x00",
                                               12));
  EXPECT_EQ(image.substr(524, 2), std::string(2, '\0')) << "chain end";
}

TEST(WriterBytes, IndexEntryAndObiHeaderAreLaidOutAsSpecified) {
  IndexFileWriter writer(3, 3);
  ASSERT_TRUE(writer.Add({"CODCLI", std::string("\x39\x30\x00\x00", 4)}));
  // Block 2 (bucket 2 of 3): key, length word 12, data.
  EXPECT_EQ(writer.image().substr(512, 12), std::string("CODCLI"
                                                        "\x0C\x00"
                                                        "\x39\x30\x00\x00",
                                                        12));
  const std::string obi = velmora::testing::ObiFileImage(1999);
  ASSERT_EQ(obi.size(), 512u);
  EXPECT_EQ(obi.substr(0, 14), std::string("\0\0\0\0\0\0\0\0\0\0\xCF\x07\0\0", 14));
}

using Stored = std::map<std::string, std::string>;

// Adds `attempts` records made by `make`, keys never repeated; what the writer took.
template <typename Writer, typename Make>
Stored Fill(Writer& writer, int attempts, Make make) {
  Stored stored;
  for (int i = 0; i < attempts; ++i) {
    const KeyedRecord record = make(i);
    if (stored.count(record.key) == 0 && writer.Add(record)) stored[record.key] = record.data;
  }
  return stored;
}

// Every stored record is found whole, filling key and data exactly.
void ExpectAllFound(const std::string& image, int layout, int32_t buckets, const Stored& stored,
                    int32_t& probeLimit) {
  MemoryBlockReader blocks(image);
  for (const auto& [key, data] : stored) {
    const Read read = ReadBack(blocks, layout, key, data.size(), buckets, probeLimit);
    ASSERT_EQ(read.outcome.status, kStatusFound)
        << "key of " << key.size() << " bytes, " << data.size() << " data";
    ASSERT_EQ(read.outcome.filled, static_cast<int32_t>(key.size() + data.size()));
    ASSERT_EQ(read.data, data);
  }
}

std::size_t LongerThan(const Stored& stored, std::size_t bytes) {
  return static_cast<std::size_t>(std::count_if(
      stored.begin(), stored.end(), [bytes](const auto& r) { return r.second.size() > bytes; }));
}

TEST(RoundTrip, SelfDescribingFileWithShortAndLongRecords) {
  std::mt19937 rng(20240315);
  SelfDescribingFileWriter writer(400, 397);
  const Stored stored = Fill(writer, 600, [&](int i) {
    const std::size_t keyLength = 1 + rng() % 31;
    // A search needs room for 2 bytes of data at least.
    const std::size_t dataLength = i % 10 == 0 ? 400 + rng() % 900 : 2 + rng() % 120;
    return KeyedRecord{RandomBytes(rng, keyLength), RandomBytes(rng, dataLength)};
  });
  ASSERT_GT(stored.size(), 500u);
  ASSERT_GT(LongerThan(stored, 510), 30u) << "records longer than one block must be among them";
  int32_t probeLimit = kInitialProbeLimit;
  ExpectAllFound(writer.image(), kLayoutSelfDescribing, 397, stored, probeLimit);
  MemoryBlockReader blocks(writer.image());
  for (int i = 0; i < 200; ++i) {
    const std::string key = RandomBytes(rng, 1 + rng() % 31);
    if (stored.count(key) != 0) continue;
    const Read read = ReadBack(blocks, kLayoutSelfDescribing, key, 8, 397, probeLimit);
    EXPECT_TRUE(read.outcome.status == kStatusNotFound ||
                read.outcome.status == kStatusEveryBucketTried);
  }
}

TEST(RoundTrip, SelfDescribingDeletedRecordIsNotFound) {
  SelfDescribingFileWriter writer(10, 7);
  ASSERT_TRUE(writer.Add({"CODCLI", "\x01\x02\x03\x04"}));
  ASSERT_TRUE(writer.Add({"OTHER", "xyz"}));
  ASSERT_TRUE(writer.Delete("CODCLI"));
  MemoryBlockReader blocks(writer.image());
  int32_t probeLimit = kInitialProbeLimit;
  EXPECT_EQ(ReadBack(blocks, kLayoutSelfDescribing, "CODCLI", 4, 7, probeLimit).outcome.status,
            kStatusNotFound);
  EXPECT_EQ(ReadBack(blocks, kLayoutSelfDescribing, "OTHER", 3, 7, probeLimit).data, "xyz");
}

// Six-byte keys raise the probe limit; eight-byte keys stay under the first one.
TEST(RoundTrip, IndexFilesWithShortAndLongRecords) {
  std::mt19937 rng(990101);
  IndexFileWriter sixByteKeys(300, 293, kSixByteKeyProbeLimit);
  const Stored six = Fill(sixByteKeys, 900, [&](int i) {
    std::string key = RandomBytes(rng, 6);
    if (key[0] == 0 && key[1] == 0) key[0] = 1;  // a first word of 0 would end a chain
    return KeyedRecord{key,
                       RandomBytes(rng, 2 * (i % 15 == 0 ? 300 + rng() % 400 : 1 + rng() % 60))};
  });
  ASSERT_GT(six.size(), 700u);
  ASSERT_GT(LongerThan(six, 504), 20u) << "records in several entries must be among them";
  int32_t probeLimit = kInitialProbeLimit;
  ExpectAllFound(sixByteKeys.image(), kLayoutIndex, 293, six, probeLimit);
  EXPECT_EQ(probeLimit, kSixByteKeyProbeLimit);

  IndexFileWriter eightByteKeys(100, 97, kInitialProbeLimit);
  const Stored eight = Fill(eightByteKeys, 1500, [&](int) {
    return KeyedRecord{"K" + RandomBytes(rng, 7), RandomBytes(rng, 2 + 2 * (rng() % 20))};
  });
  probeLimit = kInitialProbeLimit;
  ExpectAllFound(eightByteKeys.image(), kLayoutIndex, 97, eight, probeLimit);
  EXPECT_EQ(probeLimit, kInitialProbeLimit);
}

}  // namespace
}  // namespace velmora::docstore
