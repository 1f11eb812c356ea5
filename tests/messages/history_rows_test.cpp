// The history's rows built from archive entries (their order, texts and
// colours are the history dialog's test), and the alert of a message too
// short to hold anything after its date line.

#include "messages/history_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fixed_text.h"

namespace velmora::messages {
namespace {

TEST(HistoryRows, AnOwnAuthorIsCutToSeventeenCharactersAfterItsPrefix) {
  const std::vector<InboxEntry> entries = {{"123456789012345678901234", "D", "m"}};
  EXPECT_EQ(BuildHistoryRows(entries)[0].author, "CU 12345678901234567");
}

TEST(AlertText, ABodyWithoutAMessageAfterItsDateLineGivesTheHeadingAlone) {
  EXPECT_EQ(AlertText("scurt"), "Ati primit un mesaj nou !\r\n\r\n");
}

}  // namespace
}  // namespace velmora::messages
