// The history's rows built from archive entries, and the alert of a message
// too short to hold anything after its date line.

#include "messages/history_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fixed_text.h"

namespace velmora::messages {
namespace {

TEST(HistoryRows, NewestFirstWithOwnAndVendorAuthors) {
  const std::vector<InboxEntry> entries = {
      {"4711        ", "2026.12.01  09:00:00", "prima\r\nlinie"},
      {"Corvane", "2026.12.02  09:00:00", "raspuns"},
      {"4711        ", "2026.12.03  09:00:00", "a treia"},
  };
  const auto rows = BuildHistoryRows(entries);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].date, "2026.12.03  09:00:00");
  EXPECT_EQ(TrimTrailingBlanks(rows[0].author), "CU 4711");
  EXPECT_FALSE(rows[0].fromVendor);
  EXPECT_EQ(TrimTrailingBlanks(rows[1].author), "Corvane");
  EXPECT_TRUE(rows[1].fromVendor);
  EXPECT_EQ(rows[2].oneLine, "prima  linie");
  EXPECT_EQ(rows[2].fullMessage, "prima\r\nlinie");
}

TEST(HistoryRows, AnOwnAuthorIsCutToSeventeenCharactersAfterItsPrefix) {
  const std::vector<InboxEntry> entries = {{"123456789012345678901234", "D", "m"}};
  EXPECT_EQ(BuildHistoryRows(entries)[0].author, "CU 12345678901234567");
}

TEST(AlertText, ABodyWithoutAMessageAfterItsDateLineGivesTheHeadingAlone) {
  EXPECT_EQ(AlertText("scurt"), "Ati primit un mesaj nou !\r\n\r\n");
}

}  // namespace
}  // namespace velmora::messages
