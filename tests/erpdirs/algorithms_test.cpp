// The small routines of the environment: text search, suite root, the prime
// bucket count, the index sort and the creation of an empty keyed file.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "erpdirs/index_sort.h"
#include "erpdirs/keyed_file_image.h"
#include "erpdirs/memory_record_files.h"
#include "erpdirs/primes.h"
#include "erpdirs/suite_paths.h"
#include "erpdirs/text_search.h"
#include "expected_files.h"

namespace velmora::erpdirs {
namespace {

struct SearchCase {
  std::string text;
  int textLength;
  std::string pattern;
  int patternLength;
  bool exact;
  int expected;
};

TEST(FindTextNoCase, FindsTheFirstOccurrence) {
  const SearchCase cases[] = {
      {"c:\\erp", 6, "ERP", 3, false, 4},
      {"c:\\erp", 6, "ERP", 3, true, 0},
      {"C:\\ERP", 6, "ERP", 3, true, 4},
      {"D:\\serpent\\ERP", 14, "ERP", 3, false, 5},
      {"ERPERP", 6, "erp", 3, false, 1},
      {"aaab", 4, "aab", 3, true, 2},
      {"abcERP", 5, "ERP", 3, false, 0},   // only the first 5 characters count
      {"abcERP", 6, "ERPX", 3, false, 4},  // only the first 3 pattern characters count
      {"abc", 0, "a", 1, false, 0},
      {"abc", -1, "a", 1, false, 0},
      {"abc", 3, "a", 0, false, 0},
      {"ab", 2, "abc", 3, false, 0},
      {"x\xE2y", 3, "\xC2", 1, false, 0},  // code page letters are not folded
      {"x[y", 3, "{", 1, false, 0},        // neither are the neighbours of the letters
      {"x@Z", 3, "`z", 2, false, 0},
      {"abc", 99, "c", 99, false, 3},  // lengths beyond the texts are cut to them
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.pattern);
    EXPECT_EQ(FindTextNoCase(c.text, c.textLength, c.pattern, c.patternLength, c.exact),
              c.expected);
  }
}

struct RootCase {
  const char* start;
  int position;
  const char* root;  // nullptr: none
};

TEST(SuiteRoot, IsEverythingBeforeTheFirstErp) {
  const RootCase cases[] = {
      {"D:\\Suite\\ERP", 10, "D:\\Suite\\"},
      {"C:\\SUITE\\ERP", 10, "C:\\SUITE\\"},
      {"D:\\serpent\\ERP", 5, "D:\\s"},
      {"c:\\erp", 4, "c:\\"},
      {"C:\\Suite\\ERP\\sub", 10, "C:\\Suite\\"},
      {"ERP\\Suite", 1, nullptr},
      {"erp", 1, nullptr},
      {"C:\\Programs", 0, nullptr},
      {"", 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    EXPECT_EQ(ErpRootPosition(c.start), c.position);
    const auto root = SuiteRootOf(c.start);
    if (c.root) {
      ASSERT_TRUE(root.has_value());
      EXPECT_EQ(*root, c.root);
    } else {
      EXPECT_FALSE(root.has_value());
    }
  }
  EXPECT_EQ(ModuleDirectoryOf("D:\\Suite\\ERP", "KELBAR"), "D:\\Suite\\KELBAR");
  EXPECT_EQ(CompanyFolderOf(ModuleDirectoryOf("D:\\Suite\\ERP", "KELBAR")),
            "D:\\Suite\\KELBAR\\FIRMA");
  EXPECT_EQ(ModuleDirectoryOf("D:\\serpent\\ERP", "MORVIN"), "D:\\sMORVIN");
  EXPECT_EQ(ModuleDirectoryOf("C:\\Programs", "KELBAR"), "");
  EXPECT_EQ(CompanyFolderOf("D:\\x   "), "D:\\x\\FIRMA");
}

// Plain trial division up to the square root, for comparison.
bool IsPrime(int n) {
  if (n < 2) return false;
  for (int d = 2; d * d <= n; ++d)
    if (n % d == 0) return false;
  return true;
}

TEST(LargestPrimeNotAbove, IsExactBelow941SquaredAndOneBelowThree) {
  EXPECT_EQ(LargestPrimeNotAbove(2), 1);
  EXPECT_EQ(LargestPrimeNotAbove(1), 1);
  // Spot ranges across the exact domain, including around the table's end.
  for (int start : {3, 900, 1900, 8000, 885000}) {
    for (int n = start; n < start + 400; ++n) {
      int expected = n;
      while (!IsPrime(expected)) --expected;
      ASSERT_EQ(LargestPrimeNotAbove(n), expected) << n;
    }
  }
}

TEST(LargestPrimeNotAbove, AboveTheTableANumberWithoutSmallFactorsPasses) {
  // 947 * 953 has no factor among the first 160 primes (2 to 941).
  EXPECT_EQ(LargestPrimeNotAbove(947 * 953), 947 * 953);
}

std::vector<std::pair<int, int>> SortAndRecordSwaps(std::vector<int>& items) {
  std::vector<std::pair<int, int>> swaps;
  SortByIndex(
      static_cast<int>(items.size()),
      [&](int i, int j) -> int16_t {
        const int a = items.at(static_cast<std::size_t>(i - 1)),
                  b = items.at(static_cast<std::size_t>(j - 1));
        return static_cast<int16_t>(a < b ? -1 : a > b ? 1 : 0);
      },
      [&](int i, int j) {
        swaps.emplace_back(i, j);
        std::swap(items.at(static_cast<std::size_t>(i - 1)),
                  items.at(static_cast<std::size_t>(j - 1)));
      });
  return swaps;
}

TEST(SortByIndex, EightItemsGoThroughOnePartitionAndTwoInsertions) {
  // Worked by hand: the middle item 4 moves to 1, items 2 and 1 are
  // exchanged to put the median 3 first, one exchange in the partition, the
  // pivot moves to 3, then straight insertion of 1..2 and of 4..8.
  std::vector<int> items = {5, 3, 8, 1, 9, 2, 7, 4};
  const auto swaps = SortAndRecordSwaps(items);
  const std::vector<std::pair<int, int>> expected = {{4, 1}, {2, 1}, {3, 6}, {1, 3},
                                                     {2, 1}, {6, 5}, {7, 6}, {6, 5},
                                                     {8, 7}, {7, 6}, {6, 5}, {5, 4}};
  EXPECT_EQ(swaps, expected);
  EXPECT_EQ(items, (std::vector<int>{1, 2, 3, 4, 5, 7, 8, 9}));
}

TEST(SortByIndex, SevenItemsAreSortedByInsertionAlone) {
  std::vector<int> items = {7, 6, 5, 4, 3, 2, 1};
  const auto swaps = SortAndRecordSwaps(items);
  EXPECT_EQ(swaps.size(), 21u);
  EXPECT_EQ(swaps.front(), std::make_pair(2, 1));
  EXPECT_EQ(items, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(SortByIndex, SortsEveryShapeOfInput) {
  std::mt19937 random(12345);
  for (int count : {0, 1, 2, 3, 8, 9, 15, 16, 17, 100, 1000, 4097}) {
    for (int shape = 0; shape < 5; ++shape) {
      SCOPED_TRACE(std::to_string(count) + " items, shape " + std::to_string(shape));
      std::vector<int> items(static_cast<std::size_t>(count));
      for (int i = 0; i < count; ++i) {
        switch (shape) {
          case 0: items[static_cast<std::size_t>(i)] = static_cast<int>(random() % 1000000); break;
          case 1: items[static_cast<std::size_t>(i)] = i; break;          // already sorted
          case 2: items[static_cast<std::size_t>(i)] = count - i; break;  // reversed
          case 3: items[static_cast<std::size_t>(i)] = 42; break;         // all equal
          case 4:
            items[static_cast<std::size_t>(i)] = static_cast<int>(random() % 3);
            break;  // few values
        }
      }
      std::vector<int> expected = items;
      std::sort(expected.begin(), expected.end());
      SortAndRecordSwaps(items);
      EXPECT_EQ(items, expected);
    }
  }
}

TEST(SortByIndex, ACarelessCompareNeverReachesOutsideTheItems) {
  std::mt19937 random(7);
  for (int count : {8, 20, 300}) {
    SortByIndex(
        count,
        [&](int i, int j) -> int16_t {
          EXPECT_TRUE(i >= 1 && i <= count && j >= 1 && j <= count) << i << ", " << j;
          return static_cast<int16_t>(static_cast<int>(random() % 3) - 1);
        },
        [&](int i, int j) {
          EXPECT_TRUE(i >= 1 && i <= count && j >= 1 && j <= count) << i << ", " << j;
        });
  }
}

TEST(CreateKeyedFile, TwoThousandBlocksWithTheBucketCountInTheHeader) {
  MemoryRecordFileSystem files;
  EXPECT_EQ(CreateKeyedFile(files, "TERTIDC.DAT   ", 2000), 0);
  const std::string file = files.Get("TERTIDC.DAT");
  EXPECT_EQ(testing::FirstDifference(file, testing::NewTertiaryFile()), -1);
  EXPECT_EQ(file.substr(18, 4), std::string("\xCF\x07\x00\x00", 4));
}

TEST(CreateKeyedFile, RefusesWhatItCannotMakeWhole) {
  {
    SCOPED_TRACE("two blocks or fewer");
    MemoryRecordFileSystem files;
    EXPECT_EQ(CreateKeyedFile(files, "TERTIDC.DAT", 2), 1);
    EXPECT_EQ(CreateKeyedFile(files, "TERTIDC.DAT", -5), 1);
    EXPECT_FALSE(files.Has("TERTIDC.DAT"));
    EXPECT_EQ(CreateKeyedFile(files, "TERTIDC.DAT", 3), 0);
    EXPECT_EQ(files.Get("TERTIDC.DAT").size(), 1536u);
    EXPECT_EQ(files.Get("TERTIDC.DAT").substr(0, 512), testing::KeyedHeader(3));
  }
  {
    SCOPED_TRACE("an existing file is not touched");
    MemoryRecordFileSystem files;
    files.Put("TERTIDC.DAT", "keep");
    EXPECT_EQ(CreateKeyedFile(files, "TERTIDC.DAT", 2000), 1);
    EXPECT_EQ(files.Get("TERTIDC.DAT"), "keep");
  }
  {
    SCOPED_TRACE("the folder takes no new file");
    MemoryRecordFileSystem files;
    files.faults().create = true;
    EXPECT_EQ(CreateKeyedFile(files, "TERTIDC.DAT", 2000), 1);
    EXPECT_FALSE(files.Has("TERTIDC.DAT"));
  }
  {
    SCOPED_TRACE("the disk fills up half way: no headerless file is left behind");
    MemoryRecordFileSystem files;
    files.faults().writeRecords = {1500};
    EXPECT_EQ(CreateKeyedFile(files, "TERTIDC.DAT", 2000), 1);
    EXPECT_FALSE(files.Has("TERTIDC.DAT"));
  }
}

}  // namespace
}  // namespace velmora::erpdirs
