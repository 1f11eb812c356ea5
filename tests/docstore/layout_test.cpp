#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "block_fixtures.h"
#include "docstore/keyed_open.h"
#include "docstore/layout_cache.h"

namespace velmora::docstore {
namespace {

using testing::BlockOf;
using testing::FakeBlocks;
using testing::HeaderBlock;
using testing::Poke;

TEST(HeaderDecision, MagicStarsAndPositiveBucketCountMakeTheSelfDescribingLayout) {
  // FF 70 | 16 x '*' | CF 07 00 00 (1999)
  const Block header = BlockOf({0xFF, 0x70, '*', '*', '*', '*', '*', '*',  '*',  '*',  '*',
                                '*',  '*',  '*', '*', '*', '*', '*', 0xCF, 0x07, 0x00, 0x00});
  EXPECT_TRUE(IsSelfDescribingHeader(header));
  EXPECT_EQ(HeaderBucketCount(header), 1999);
  EXPECT_EQ(LayoutOfBlock1(header), kLayoutSelfDescribing);
}

TEST(HeaderDecision, AnyMismatchMakesTheIndexLayout) {
  struct Case {
    const char* what;
    Block block;
  };
  std::vector<Case> cases;
  Block zeroCount = HeaderBlock(1999);
  Poke(zeroCount, 18, {0, 0, 0, 0});
  cases.push_back({"bucket count 0", zeroCount});
  Block negative = HeaderBlock(1999);
  Poke(negative, 18, {0xFF, 0xFF, 0xFF, 0xFF});
  cases.push_back({"bucket count -1", negative});
  Block magic = HeaderBlock(1999);
  Poke(magic, 0, {0x70, 0xFF});  // bytes swapped: word 0xFF70
  cases.push_back({"magic in the wrong byte order", magic});
  Block star = HeaderBlock(1999);
  Poke(star, 17, {'+'});
  cases.push_back({"last star missing", star});
  cases.push_back({"empty block", Block{}});
  for (const Case& c : cases) {
    EXPECT_FALSE(IsSelfDescribingHeader(c.block)) << c.what;
    EXPECT_EQ(LayoutOfBlock1(c.block), kLayoutIndex) << c.what;
  }
}

TEST(LayoutOf, ReadsBlockOneOncePerCachedFile) {
  FakeBlocks file;
  file.blocks[1] = HeaderBlock(7);
  LayoutCache cache;
  EXPECT_EQ(LayoutOf(cache, 44, file), kLayoutSelfDescribing);
  EXPECT_EQ(LayoutOf(cache, 44, file), kLayoutSelfDescribing);
  EXPECT_EQ(file.asked, (std::vector<int32_t>{1}));
}

TEST(LayoutOf, UnreadableBlockOneGivesZeroAndIsNotCached) {
  FakeBlocks file;
  LayoutCache cache;
  EXPECT_EQ(LayoutOf(cache, 44, file), kLayoutUnreadable);
  file.blocks[1] = Block{};
  EXPECT_EQ(LayoutOf(cache, 44, file), kLayoutIndex);
  EXPECT_EQ(file.asked.size(), 2u);
}

TEST(LayoutCache, HoldsFiveFilesAndForgets) {
  LayoutCache cache;
  for (FileKey h = 10; h < 15; ++h) EXPECT_TRUE(cache.Remember(h, h % 2 == 0 ? 2 : 1));
  EXPECT_FALSE(cache.Remember(99, 2)) << "all five slots hold other files";
  EXPECT_EQ(cache.Find(99), 0);
  EXPECT_EQ(cache.Find(12), 2);
  EXPECT_EQ(cache.Find(13), 1);
  EXPECT_TRUE(cache.Remember(13, 2)) << "a file already held keeps its slot";
  EXPECT_EQ(cache.Find(13), 2);

  cache.Forget(12);
  EXPECT_EQ(cache.Find(12), 0);
  EXPECT_TRUE(cache.Remember(99, 1));
  EXPECT_EQ(cache.slots()[2].handle, 99) << "the freed slot is the first free one";

  cache.Forget(0);
  for (const auto& slot : cache.slots()) EXPECT_LE(slot.handle, 0);
}

TEST(LayoutCache, HandlesOfZeroOrLessAreNeverStored) {
  LayoutCache cache;
  EXPECT_FALSE(cache.Remember(-1, 2));
  EXPECT_FALSE(cache.Remember(0, 2));
  EXPECT_EQ(cache.Find(-1), 0);
}

TEST(LayoutOf, AFullCacheStillAnswersButReadsEachTime) {
  LayoutCache cache;
  for (FileKey h = 1; h <= 5; ++h) cache.Remember(h, 1);
  FakeBlocks file;
  file.blocks[1] = HeaderBlock(3);
  EXPECT_EQ(LayoutOf(cache, 6, file), kLayoutSelfDescribing);
  EXPECT_EQ(LayoutOf(cache, 6, file), kLayoutSelfDescribing);
  EXPECT_EQ(file.asked.size(), 2u);
}

struct Shown {
  std::vector<std::string> texts;
  ErrorSink sink() {
    return [this](std::string_view t) { texts.emplace_back(t); };
  }
};

TEST(ExamineKeyedFile, BucketCountFromTheHeaderOrFromObi) {
  struct Case {
    const char* what;
    Block block1;
    bool withObi;
    int layout;
    int32_t bucketCount;
  } cases[] = {
      {"self-describing: its own count, obi.dat not read", HeaderBlock(1999), true,
       kLayoutSelfDescribing, 1999},
      {"index: the count at offset 10 of obi.dat", Block{}, true, kLayoutIndex, 3001},
      {"index without obi.dat: no count", Block{}, false, kLayoutIndex, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBlocks file, obi;
    file.blocks[1] = c.block1;
    // obi.dat block 1: ten bytes of something, then 0x00000BB9 (3001)
    obi.blocks[1] =
        BlockOf({'O', 'B', 'I', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0xB9, 0x0B, 0x00, 0x00});
    Shown shown;
    const KeyedFileFacts facts =
        ExamineKeyedFile(file, c.withObi ? &obi : nullptr, "dev.dat", shown.sink());
    EXPECT_EQ(facts.status, 0);
    EXPECT_EQ(facts.layout, c.layout);
    EXPECT_EQ(facts.bucketCount, c.bucketCount);
    EXPECT_EQ(obi.asked.empty(), !(c.withObi && c.layout == kLayoutIndex))
        << "obi.dat read only when needed";
    EXPECT_TRUE(shown.texts.empty());
  }
}

TEST(ExamineKeyedFile, FailuresShowTheirMessages) {
  FakeBlocks file, obi;
  Shown shown;
  EXPECT_EQ(ExamineKeyedFile(file, &obi, "C:\\Suite\\VANTOR\\DEV.DAT", shown.sink()).status, 1);
  file.blocks[1] = Block{};
  EXPECT_EQ(ExamineKeyedFile(file, &obi, "C:\\Suite\\VANTOR\\DEV.DAT", shown.sink()).status, 1);
  EXPECT_EQ(shown.texts,
            (std::vector<std::string>{"Eroare la citire bloc 1 din C:\\Suite\\VANTOR\\DEV.DAT",
                                      "Eroare citire bloc 1 din obi.dat!"}));
}

TEST(ExamineOpenDevFile, ReadsDevThenObi) {
  FakeBlocks dev, obi;
  Shown shown;
  EXPECT_EQ(ExamineOpenDevFile(dev, obi, shown.sink()).status, 1);
  dev.blocks[1] = Block{};
  EXPECT_EQ(ExamineOpenDevFile(dev, obi, shown.sink()).status, 1);
  obi.blocks[1] = BlockOf({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x07, 0, 0, 0});
  const KeyedFileFacts facts = ExamineOpenDevFile(dev, obi, shown.sink());
  EXPECT_EQ(facts.status, 0);
  EXPECT_EQ(facts.bucketCount, 7);
  dev.blocks[1] = HeaderBlock(11);
  EXPECT_EQ(ExamineOpenDevFile(dev, obi, shown.sink()).bucketCount, 11);
  EXPECT_EQ(shown.texts, (std::vector<std::string>{"Eroare citire bloc 1 din dev.dat",
                                                   "Eroare citire bloc 1 din obi.dat!"}));
}

TEST(KeyedFilePath, JoinsDirectoryAndName) {
  struct Case {
    std::string directory, name, path;
  };
  const Case cases[] = {
      {"D:\\Suite\\VANTOR" + std::string(25, ' '), "DEV.DAT", "D:\\Suite\\VANTOR\\DEV.DAT"},
      {"D:\\Suite\\VANTOR\\      ", "dev.dat", "D:\\Suite\\VANTOR\\dev.dat"},
      {std::string(40, ' '), "DEV.DAT", "DEV.DAT"},
      {"", "obi.dat   ", "obi.dat"},
      {std::string("C:\\A\0junk", 9), "dev.dat", "C:\\A\\dev.dat"},
      {std::string(300, 'x'), "dev.dat", std::string(256, 'x')},
      {std::string(250, 'x'), "dev.dat", std::string(250, 'x') + "\\dev.d"},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyedFilePath(c.directory, c.name), c.path) << c.directory;
}

}  // namespace
}  // namespace velmora::docstore
