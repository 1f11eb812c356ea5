// The server address list: iplist.txt, the library refresh, the order in
// which addresses are tried, and the file written back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/address_table.h"
#include "support/temp_dir.h"

namespace velmora::link {
namespace {

using namespace std::string_literals;
using velmora::testing::ReadFileBytes;
using velmora::testing::TempDir;
using velmora::testing::TextLines;
using velmora::testing::WriteFileBytes;

std::string Pad15(const std::string& s) { return s + std::string(15 - s.size(), ' '); }

struct Fixture {
  TempDir dir;
  ServerAddressTable table;
  AddressListEnvironment env;
  int libraryCalls = 0;
  int refreshShown = 0;
  LibraryAnswer answer{LibraryAnswer::Status::kNoLibrary, 0, {}};

  Fixture() {
    table.defaultAddress = "127.0.0.1";
    env.listFile = dir / "iplist.txt";
    env.askLibrary = [this] {
      ++libraryCalls;
      return answer;
    };
    env.onRefreshStarted = [this] { ++refreshShown; };
  }
  void WriteList(const std::string& text) { WriteFileBytes(env.listFile, text); }
  std::vector<std::string> ListLines() { return TextLines(ReadFileBytes(env.listFile)); }
  void Library(const std::string& text, int count) {
    answer = {LibraryAnswer::Status::kOk, static_cast<std::int16_t>(count),
              text + std::string(85 - text.size(), ' ')};
  }
};

TEST(AddressTable, ReadsUpToFiveLinesFirstFifteenCharactersEach) {
  Fixture f;
  f.WriteList(
      "127.0.0.2\n127.0.0.3\r\n127.0.0.44444444444444444\n127.0.0.5\n127.0.0.6\n127.0.0.7\n127.0.0."
      "8\n");
  EXPECT_EQ(INITLISTAIP(f.table, f.env), 0);
  EXPECT_EQ(f.table.entries[0], Pad15("127.0.0.2"));
  EXPECT_EQ(f.table.entries[1], Pad15("127.0.0.3"));
  EXPECT_EQ(f.table.entries[2], "127.0.0.4444444");
  EXPECT_EQ(f.table.entries[4], Pad15("127.0.0.6"));
  EXPECT_EQ(f.table.current, 1);
  EXPECT_TRUE(f.table.listLoaded);
  EXPECT_FALSE(f.table.defaultSeen);
  EXPECT_EQ(f.libraryCalls, 0);
}

TEST(AddressTable, BlankFirstLineIsSkipped) {
  Fixture f;
  f.WriteList("\n127.0.0.9\n");
  INITLISTAIP(f.table, f.env);
  EXPECT_EQ(CurrentEntry(f.table), std::string(15, ' '));
  // The connect attempt moves on from a blank entry first.
  EXPECT_EQ(GETNEXTIPADRESS(f.table, f.env), 0);
  EXPECT_EQ(f.table.current, 2);
  EXPECT_EQ(CurrentEntry(f.table), Pad15("127.0.0.9"));
}

TEST(AddressTable, MissingOrEmptyFileAsksTheLibraryAtOnce) {
  for (const bool exists : {false, true}) {
    Fixture f;
    if (exists) f.WriteList("");
    f.Library("127.0.0.7\r\n127.0.0.8", 20);
    INITLISTAIP(f.table, f.env);
    EXPECT_EQ(f.libraryCalls, 1);
    EXPECT_EQ(f.refreshShown, 1);
    EXPECT_TRUE(f.table.refreshed);
    EXPECT_TRUE(f.table.listLoaded);
    EXPECT_EQ(f.table.current, 1);
    EXPECT_EQ(f.table.entries[0], Pad15("127.0.0.7"));
    EXPECT_EQ(f.table.entries[1], Pad15("127.0.0.8"));
    EXPECT_EQ(f.ListLines(), (std::vector<std::string>{"127.0.0.7", "127.0.0.8"}));
  }
}

TEST(AddressTable, OrderOfAttemptsThenRefreshThenDefaultThenGiveUp) {
  Fixture f;
  f.WriteList("127.0.0.2\n\n127.0.0.4\n");
  f.Library("127.0.0.20", 10);
  INITLISTAIP(f.table, f.env);
  std::vector<std::string> tried{CurrentEntry(f.table)};
  std::vector<int> results;
  for (;;) {
    const int r = GETNEXTIPADRESS(f.table, f.env);
    results.push_back(r);
    if (r == -1) break;
    tried.push_back(CurrentEntry(f.table));
  }
  EXPECT_EQ(results, (std::vector<int>{0, 1, 0, -1}));
  // The extra attempt stays at index 5, which this short library list leaves blank.
  EXPECT_EQ(tried, (std::vector<std::string>{Pad15("127.0.0.2"), Pad15("127.0.0.4"),
                                             Pad15("127.0.0.20"), Pad15("")}));
  EXPECT_EQ(f.table.current, 5);
  EXPECT_EQ(f.libraryCalls, 1);
  EXPECT_TRUE(f.table.defaultSeen);
}

TEST(AddressTable, DefaultInAListMeansNoExtraAttempt) {
  Fixture f;
  f.WriteList("127.0.0.1\n");
  f.Library("127.0.0.30", 10);
  INITLISTAIP(f.table, f.env);
  EXPECT_TRUE(f.table.defaultSeen);
  EXPECT_EQ(GETNEXTIPADRESS(f.table, f.env), 1);  // library list, entry 1
  EXPECT_EQ(GETNEXTIPADRESS(f.table, f.env), -1);
}

TEST(AddressTable, LibraryMissingKeepsTheTableAndStartsAgain) {
  for (const auto status :
       {LibraryAnswer::Status::kNoLibrary, LibraryAnswer::Status::kNoFunction}) {
    Fixture f;
    f.table.defaultSeen = true;
    f.WriteList("127.0.0.2\n127.0.0.3\n");
    f.answer = {status, 0, {}};
    INITLISTAIP(f.table, f.env);
    EXPECT_EQ(GETNEXTIPADRESS(f.table, f.env), 0);
    EXPECT_EQ(GETNEXTIPADRESS(f.table, f.env), 1);
    EXPECT_EQ(f.table.current, 1);
    EXPECT_EQ(CurrentEntry(f.table), Pad15("127.0.0.2"));
    EXPECT_TRUE(f.table.libraryError.starts_with("Eroare ")) << f.table.libraryError;
    EXPECT_TRUE(f.table.libraryError.ends_with("\"hostlane.dll\"")) << f.table.libraryError;
    EXPECT_EQ(f.ListLines(),
              (std::vector<std::string>{"127.0.0.2", "127.0.0.3"}));  // file untouched
    EXPECT_EQ(GETNEXTIPADRESS(f.table, f.env), 0);
    EXPECT_EQ(GETNEXTIPADRESS(f.table, f.env), -1);  // next exhaustion gives up
  }
}

TEST(AddressTable, LibraryCountZeroBlanksEverything) {
  Fixture f;
  f.table.defaultSeen = true;
  f.WriteList("127.0.0.2\n");
  f.Library("", 0);
  INITLISTAIP(f.table, f.env);
  EXPECT_EQ(GETNEXTIPADRESS(f.table, f.env), 1);
  for (const auto& e : f.table.entries) EXPECT_EQ(e, std::string(15, ' '));
  EXPECT_EQ(f.ListLines(), (std::vector<std::string>{"127.0.0.2"}));  // nothing to save
  EXPECT_EQ(GETNEXTIPADRESS(f.table, f.env), -1);
}

TEST(AddressTable, SevenAddressesConnectedAtThirdAreRewrittenThirdFirst) {
  Fixture f;
  f.WriteList(
      "127.0.0.11\n127.0.0.12\n127.0.0.13\n127.0.0.14\n127.0.0.15\n127.0.0.16\n127.0.0.17\n");
  INITLISTAIP(f.table, f.env);
  GETNEXTIPADRESS(f.table, f.env);
  GETNEXTIPADRESS(f.table, f.env);
  ASSERT_EQ(f.table.current, 3);
  WRITELISTAIPOPTIM(f.table, f.env);
  EXPECT_EQ(f.ListLines(), (std::vector<std::string>{"127.0.0.13", "127.0.0.11", "127.0.0.12",
                                                     "127.0.0.14", "127.0.0.15"}));
}

TEST(AddressTable, SaveWritesNonBlankEntriesTrimmed) {
  Fixture f;
  f.table.entries = {Pad15(""), Pad15("127.0.0.2"), Pad15(""), Pad15("127.0.0.4 x"), Pad15("")};
  SAVELISTAIPDOMENIU(f.table, f.env);
  EXPECT_EQ(f.ListLines(), (std::vector<std::string>{"127.0.0.2", "127.0.0.4 x"}));
}

TEST(AddressTable, FixedAddressNeverReadsOrWritesTheFile) {
  Fixture f;
  SETIPFIX(f.table, "127.0.0.5      and more");
  EXPECT_EQ(f.table.entries[0], Pad15("127.0.0.5"));
  EXPECT_EQ(INITLISTAIP(f.table, f.env), 0);
  EXPECT_EQ(GETNEXTIPADRESS(f.table, f.env), -1);
  EXPECT_EQ(GETLISTAIPDOMENIU(f.table, f.env), 0);
  EXPECT_EQ(f.libraryCalls, 0);
  EXPECT_FALSE(std::filesystem::exists(f.env.listFile));
  EXPECT_EQ(CurrentEntry(f.table), Pad15("127.0.0.5"));
}

TEST(AddressTable, AddressPartEndsAtFirstBlank) {
  EXPECT_EQ(AddressPart("127.0.0.1 word "), "127.0.0.1");
  EXPECT_EQ(AddressPart(Pad15("127.0.0.1")), "127.0.0.1");
  EXPECT_EQ(AddressPart(Pad15("")), "");
}

TEST(LibraryText, SplittingCases) {
  const struct {
    std::string text;
    int count;
    std::vector<std::string> expected;
  } cases[] = {
      {"", 0, {}},
      {"127.0.0.1", -3, {}},
      {"127.0.0.1\r\n", 11, {"127.0.0.1"}},
      {"10.0.0.1\r\n10.0.0.2", 18, {"10.0.0.1", "10.0.0.2"}},
      {"\r\n127.0.0.2", 11, {"", "127.0.0.2"}},
      // The character after the carriage return is skipped whatever it is.
      {"127.0.0.1\rX127.0.0.2", 20, {"127.0.0.1", "127.0.0.2"}},
      // The count ends the text even inside an address.
      {"127.0.0.1\r\n127.0.0.2", 14, {"127.0.0.1", "127"}},
      {"1\r\n2\r\n3\r\n4\r\n5\r\n6", 16, {"1", "2", "3", "4", "5"}},
      {"127.0.0.1234567890123", 21, {"127.0.0.1234567"}},
  };
  for (const auto& c : cases) {
    const auto entries =
        ParseLibraryAddressText(c.text + std::string(85 - c.text.size(), ' '), c.count);
    for (std::size_t i = 0; i < 5; ++i)
      EXPECT_EQ(entries[i], Pad15(i < c.expected.size() ? c.expected[i] : ""))
          << c.text << " entry " << i;
  }
}

TEST(LibraryText, CountAboveTheBufferReadsOnlyTheBuffer) {
  std::string buffer = "127.0.0.1\r\n127.0.0.2" + std::string(65, ' ');
  buffer += "garbage beyond the buffer";
  const auto entries = ParseLibraryAddressText(buffer, 30000);
  EXPECT_EQ(entries[0], Pad15("127.0.0.1"));
  EXPECT_EQ(entries[1], Pad15("127.0.0.2"));
  EXPECT_EQ(entries[2], Pad15(""));
}

TEST(LibraryText, JoinedTextParsesBack) {
  const std::vector<std::string> addresses{"127.0.0.1", "127.0.0.2  ", "",         "127.0.0.3",
                                           "127.0.0.4", "127.0.0.5",   "127.0.0.6"};
  const std::string text = JoinLibraryAddressText(addresses);
  EXPECT_EQ(text, "127.0.0.1\r\n127.0.0.2\r\n127.0.0.3\r\n127.0.0.4\r\n127.0.0.5");
  const auto entries = ParseLibraryAddressText(text + std::string(85 - text.size(), ' '),
                                               static_cast<int>(text.size()));
  EXPECT_EQ(entries[4], Pad15("127.0.0.5"));
  EXPECT_LE(JoinLibraryAddressText(std::vector<std::string>(5, std::string(15, '9'))).size(), 85u);
}

}  // namespace
}  // namespace velmora::link
