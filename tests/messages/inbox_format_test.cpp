// The outgoing message file, the archive's entry bytes and how the archive
// is read back, from hand-written bytes.

#include "messages/inbox_format.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::messages {
namespace {

constexpr StampTime kMarch5 = {2024, 3, 5, 14, 30, 12};

TEST(OutgoingMessage, NameStampAndContentFollowTheClock) {
  EXPECT_EQ(OutgoingFileName(kMarch5), "pMsg_20240305143012.dat");
  EXPECT_EQ(OutgoingFileName({2025, 11, 9, 8, 7, 6}), "pMsg_20251109080706.dat");
  EXPECT_EQ(MessageStamp(kMarch5), "2024.03.05  14:30:12\r\n");
  EXPECT_EQ(MessageStamp(kMarch5).size(), 22u);
  EXPECT_EQ(OutgoingFileContent("Buna ziua   "), "915 Buna ziua");
}

TEST(OutgoingMessage, ATakenNameGivesWayToNumberedNamesOfTheSameForm) {
  EXPECT_EQ(OutgoingFileName(kMarch5, 1), "pMsg_20240305143012_2.dat");
  EXPECT_EQ(OutgoingFileName(kMarch5, 2), "pMsg_20240305143012_3.dat");
}

TEST(OwnEntry, AuthorIsTheClientCodeLeftAlignedInTwelveBytes) {
  EXPECT_EQ(OwnAuthor(4711), "4711        ");
  EXPECT_EQ(OwnAuthor(0), "0           ");
  EXPECT_EQ(OwnAuthor(-12), "-12         ");
}

struct EntryCase {
  const char* name;
  std::string body, author, bytes;
};

TEST(InboxEntryBytes, SevenPiecesInOrder) {
  const EntryCase cases[] = {
      {"own message", "2024.03.05  14:30:12\r\nBuna ziua", "4711        ",
       "!---4711        \r\n2024.03.05  14:30:12\r\n\r\nBuna ziua\r\n"},
      {"vendor message", "2026.12.08  10:00:00Linia 1@@Linia 2", "Corvane",
       "!---Corvane\r\n2026.12.08  10:00:00\r\nLinia 1@@Linia 2\r\n"},
      {"short body written whole as the date line", "scurt", "Corvane",
       "!---Corvane\r\nscurt\r\n\r\n"},
      {"empty body", "", "Corvane", "!---Corvane\r\n\r\n\r\n"},
  };
  for (const EntryCase& c : cases) EXPECT_EQ(InboxEntryBytes(c.body, c.author), c.bytes) << c.name;
}

struct ParseCase {
  const char* name;
  std::string bytes;
  std::vector<InboxEntry> entries;
};

TEST(ParseInbox, ReadsEntriesLineByLine) {
  const ParseCase cases[] = {
      {"empty archive: no entry", "", {}},
      {"own entry without its leading empty line",
       "!---4711        \r\n2024.03.05  14:30:12\r\n\r\nBuna ziua\r\n",
       {{"4711        ", "2024.03.05  14:30:12", "Buna ziua"}}},
      {"lines joined, an empty line inside kept, trailing blanks dropped",
       "!---Corvane\r\nD\r\nunu  \r\n\r\ndoi\r\n",
       {{"Corvane", "D", "unu\r\n\r\ndoi"}}},
      {"two entries",
       "!---A\r\nD1\r\nm1\r\n!---B\r\nD2\r\nm2\r\n",
       {{"A", "D1", "m1"}, {"B", "D2", "m2"}}},
      {"a message line beginning with the mark starts an entry",
       "!---A\r\nD1\r\nm1\r\n!---inside\r\nx\r\ny\r\n",
       {{"A", "D1", "m1"}, {"inside", "x", "y"}}},
      {"no mark at all: the first two lines and the rest",
       "first\r\nsecond\r\nthird\r\nfourth",
       {{"t", "second", "third\r\nfourth"}}},
      {"bare LF line ends", "!---A\nD\nm\n", {{"A", "D", "m"}}},
      {"only a header line", "!---A\r\n", {{"A", "", ""}}},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(ParseInbox(c.bytes), c.entries) << c.name;
}

TEST(ParseInbox, LongLinesAreCutAt1000AndMessagesAt2000) {
  const std::string line(1500, 'a');
  std::string bytes = "!---A\r\nD\r\n";
  for (int i = 0; i < 3; ++i) bytes += line + "\r\n";
  const auto entries = ParseInbox(bytes);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].message.size(), 2000u);
  EXPECT_EQ(entries[0].message.substr(0, 1002), std::string(1000, 'a') + "\r\n");
}

TEST(ParseInbox, WhatIsWrittenIsReadBack) {
  const std::string own = OwnBody(kMarch5, "Prima linie\r\nA doua linie");
  const std::string bytes = InboxEntryBytes(own, OwnAuthor(4711)) +
                            InboxEntryBytes("2026.12.08  10:00:00Raspuns@@vendor", kVendorAuthor);
  const auto entries = ParseInbox(bytes);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0],
            (InboxEntry{OwnAuthor(4711), "2024.03.05  14:30:12", "Prima linie\r\nA doua linie"}));
  EXPECT_EQ(entries[1], (InboxEntry{"Corvane", "2026.12.08  10:00:00", "Raspuns@@vendor"}));
}

}  // namespace
}  // namespace velmora::messages
