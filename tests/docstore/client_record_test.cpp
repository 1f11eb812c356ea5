#include "docstore/client_record.h"

#include <gtest/gtest.h>

#include <string>

#include "block_fixtures.h"
#include "docstore/date_split.h"

namespace velmora::docstore {
namespace {

using testing::BlockOf;
using testing::FakeBlocks;
using testing::HeaderBlock;

// The client record as the lookup retrieves it: the query and the code of
// the record buffer.
std::optional<int32_t> FindClientCode(BlockReader& dev, int layout, int32_t bucketCount,
                                      int32_t& probeLimit) {
  ClientRecordBuffer buffer;
  return buffer.CodeAfter(RetrieveRecord(dev, layout, buffer.Query(bucketCount), probeLimit));
}

TEST(ClientRecordBuffer, ReadsTheLittleEndianCodeInBothLayouts) {
  // -123456 = FFFE1DC0
  FakeBlocks selfDescribing = testing::EmptyFile(3);
  selfDescribing.blocks[1] = HeaderBlock(3);
  selfDescribing.blocks[2] =
      BlockOf({0x05, 0x66, 'C', 'O', 'D', 'C', 'L', 'I', 0xC0, 0x1D, 0xFE, 0xFF});
  int32_t probeLimit = kInitialProbeLimit;
  EXPECT_EQ(FindClientCode(selfDescribing, kLayoutSelfDescribing, 3, probeLimit), -123456);

  FakeBlocks index = testing::EmptyFile(3);
  index.blocks[2] =
      BlockOf({'C', 'O', 'D', 'C', 'L', 'I', 0x0C, 0x00, 0x40, 0xE2, 0x01, 0x00});  // 123456
  EXPECT_EQ(FindClientCode(index, kLayoutIndex, 3, probeLimit), 123456);
  EXPECT_EQ(probeLimit, kSixByteKeyProbeLimit);
}

TEST(ClientRecordBuffer, NothingWhenTheRecordIsMissingShortOrUnreadable) {
  int32_t probeLimit = kInitialProbeLimit;
  FakeBlocks empty = testing::EmptyFile(3);
  empty.blocks[1] = HeaderBlock(3);
  EXPECT_EQ(FindClientCode(empty, kLayoutSelfDescribing, 3, probeLimit), std::nullopt);

  FakeBlocks shortRecord = empty;
  shortRecord.blocks[2] =
      BlockOf({0x04, 0x66, 'C', 'O', 'D', 'C', 'L', 'I', 0x07, 0x00});  // 2 data bytes
  EXPECT_EQ(FindClientCode(shortRecord, kLayoutSelfDescribing, 3, probeLimit), std::nullopt);

  FakeBlocks unreadable = empty;
  unreadable.unreadable.insert(2);
  EXPECT_EQ(FindClientCode(unreadable, kLayoutSelfDescribing, 3, probeLimit), std::nullopt);
  EXPECT_EQ(FindClientCode(empty, kLayoutIndex, 0, probeLimit), std::nullopt)
      << "index file opened without obi.dat";
}

struct DateCase {
  int32_t value;
  int16_t day, month, year;
};

TEST(SplitDateNumber, DayMonthYearWithTwoDigitYearsPlaced) {
  const DateCase cases[] = {
      {20240315, 15, 3, 2024}, {990101, 1, 1, 1999},     {500101, 1, 1, 2050},
      {510101, 1, 1, 1951},    {20001231, 31, 12, 2000}, {1231, 31, 12, 2000},
      {991231, 31, 12, 1999},  {19000101, 1, 1, 1900},   {1000101, 1, 1, 100},
  };
  for (const DateCase& c : cases) {
    int16_t day = -1, month = -1, year = -1;
    SplitDateNumber(c.value, day, month, year);
    EXPECT_EQ(day, c.day) << c.value;
    EXPECT_EQ(month, c.month) << c.value;
    EXPECT_EQ(year, c.year) << c.value;
  }
}

}  // namespace
}  // namespace velmora::docstore
