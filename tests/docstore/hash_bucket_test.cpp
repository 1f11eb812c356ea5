#include "docstore/hash_bucket.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::docstore {
namespace {

std::string Bytes(std::initializer_list<uint8_t> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

struct HashCase {
  int kind;
  std::string key;
  int32_t bucketCount;
  int32_t bucket;
};

// Expected buckets worked out from the formulas with a separate script
// (64-bit integers masked to 32 bits, Python's abs and %), not with this code.
TEST(HashBucket, AllKindsOverSampleKeys) {
  const std::string sixteen = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  const std::string intMin = Bytes({0x00, 0x00, 0x00, 0x80});  // 32-bit value -2147483648
  const std::string thirtySix = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  const HashCase cases[] = {
      {1, "CODCLI", 1999, 769},
      {2, "CODCLI", 1999, 1542},
      {3, "CODCLI", 1999, 304},
      {4, "CODCLI", 1999, 661},
      {5, "CODCLI", 1999, 1012},
      {6, "CODCLI", 1999, 310},
      {100, "CODCLI", 1999, 1477},
      {1, "CODCLI", 7, 6},
      {5, "CODCLI", 7, 4},
      {5, "CODCLI", 1, 1},
      {5, "CODCLI", 65521, 27749},
      {5, "CODCLI", 2147483647, 666179756},
      {1, sixteen, 1999, 1655},
      {2, sixteen, 1999, 1197},
      {3, sixteen, 1999, 794},
      {4, sixteen, 1999, 877},
      {5, sixteen, 1999, 237},
      {6, sixteen, 1999, 1539},
      {100, sixteen, 1999, 1965},
      {1, thirtySix, 1999, 1477},
      {4, thirtySix, 1999, 599},
      {5, thirtySix, 1999, 1448},
      {6, thirtySix, 1999, 1157},
      {5, "CLIENT01", 1999, 262},
      {4, "CLIENT01", 1999, 1910},
      {6, "CLIENT01", 1999, 596},
      {100, "CLIENT01", 1999, 1306},
      // |INT32_MIN| taken as 2147483648: 2147483648 mod 1999 = 1926.
      {1, intMin, 1999, 1927},
      {2, intMin, 1999, 1927},
      {100, intMin, 1999, 1792},
      {5, intMin, 1999, 1576},
      {6, intMin, 1999, 1559},
      // Negative words: FF FF FF FF is -1, FE FF is -2.
      {1, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF}), 1999, 2},
      {2, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF}), 1999, 4},
      {3, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF}), 1999, 5},
      {100, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF}), 1999, 1},
      // Tails of 1 to 3 bytes: the 16-bit integer at that position, bytes past the key as zero.
      {5, "xyz", 1999, 1957},
      {5, "ABCDE", 1999, 1206},
      {5, "AB", 1999, 62},
      {5, "A", 1999, 55},
  };
  for (const HashCase& c : cases)
    EXPECT_EQ(HashBucket(c.kind, c.key, c.bucketCount), c.bucket)
        << "kind " << c.kind << " key " << c.key;
}

TEST(HashBucket, AlwaysBetweenOneAndTheBucketCount) {
  std::string key(40, '\0');
  for (int round = 0; round < 2000; ++round) {
    for (std::size_t i = 0; i < key.size(); ++i)
      key[i] = static_cast<char>((round * 131 + i * 29) & 0xFF);
    for (int kind : {1, 2, 3, 4, 5, 6, 100})
      for (int32_t buckets : {1, 3, 1999}) {
        const int32_t bucket =
            HashBucket(kind, std::string_view(key).substr(0, 1 + round % 40), buckets);
        ASSERT_GE(bucket, 1);
        ASSERT_LE(bucket, buckets);
      }
  }
}

TEST(HashBucket, NoBucketCountGivesNoBucket) {
  EXPECT_EQ(HashBucket(5, std::string("CODCLI"), 0), 0);
  EXPECT_EQ(HashBucket(1, std::string("CODCLI"), -7), 0);
}

TEST(HashBucket, UnknownKindLineHasTheKindInThreeColumns) {
  EXPECT_EQ(UnknownHashKindLine(7), " EROARE: Functie de dispersie necunoscuta:   7");
  EXPECT_EQ(UnknownHashKindLine(42), " EROARE: Functie de dispersie necunoscuta:  42");
  EXPECT_EQ(UnknownHashKindLine(1234), " EROARE: Functie de dispersie necunoscuta: 1234");
}

#ifndef _WIN32
TEST(HashBucketDeathTest, UnknownKindWritesTheLineAndEndsTheProgram) {
  EXPECT_EXIT(HashBucket(7, std::string("CODCLI"), 1999), ::testing::ExitedWithCode(1),
              "");  // the line goes to standard output, checked above
}
#endif

struct IndexHashCase {
  std::string key;
  int32_t value;
};

TEST(IndexHashValue, FirstWordHighSecondWordLowThirdWordAddedForSixBytes) {
  const IndexHashCase cases[] = {
      // words 1234, 5678, 0010: 12345678 + 0010 = 12345688
      {Bytes({0x34, 0x12, 0x78, 0x56, 0x10, 0x00}), 0x12345688},
      // the third word is signed: 12345678 + FFFF (-1) = 12345677
      {Bytes({0x34, 0x12, 0x78, 0x56, 0xFF, 0xFF}), 0x12345677},
      // other key lengths take only the first two words
      {Bytes({0x34, 0x12, 0x78, 0x56, 0x10, 0x00, 0x00, 0x00}), 0x12345678},
      {Bytes({0x34, 0x12, 0x78, 0x56}), 0x12345678},
      // upper word with its top bit set makes a negative value
      {Bytes({0x00, 0x80, 0x01, 0x00}), static_cast<int32_t>(0x80000001u)},
  };
  for (const IndexHashCase& c : cases) EXPECT_EQ(IndexHashValue(c.key), c.value);
}

TEST(MagnitudeModulo, NegatesNegativeValuesIncludingTheSmallest) {
  EXPECT_EQ(MagnitudeModulo(0x12345688, 1999), 0x12345688u % 1999u);
  EXPECT_EQ(MagnitudeModulo(-10, 7), 3u);
  EXPECT_EQ(MagnitudeModulo(INT32_MIN, 1999), 2147483648u % 1999u);
}

}  // namespace
}  // namespace velmora::docstore
