// The DIRVAN.DAT record that the launcher writes before the documents
// module's first start, checked byte by byte against the field table.

#include "shell/documents_seed_record.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::shell {
namespace {

// Expected bytes written out field by field, independently of the builder.
std::string Expected(const std::string& vantor, const std::string& firm, const std::string& erp) {
  std::string r(512, ' ');
  auto text = [&](std::size_t at, const std::string& s) { r.replace(at, s.size(), s); };
  text(180, vantor);
  text(220, vantor);
  text(260, firm);
  text(300, std::string("\x3C\x00\x3C\x00", 4));    // 60, 60
  text(306, std::string("\x00\x00\x00\x00", 4));    // 0
  text(310, std::string("\x00\x00", 2));            // 0
  text(312, erp);
  text(352, std::string("\x00\x00", 2));            // 0
  text(358, "N");
  text(359, std::string("\x00\x00\x00\x00", 4));    // 0
  return r;
}

TEST(DocumentsSeedRecord, OnTheLaunchersDriveThePathsLoseTheirDriveLetter) {
  const std::string record = BuildDocumentsSeedRecord("C:\\Suite", "C:\\Suite\\ERP\\", true);
  ASSERT_EQ(record.size(), 512u);
  EXPECT_EQ(record, Expected("\\Suite\\Vantor", "\\Suite\\Kelbar\\FIRMA", "\\Suite\\ERP"));
  EXPECT_EQ(record.substr(304, 2), "  ") << "flags stay blank";
  EXPECT_EQ(record[354], ' ') << "the mode letter stays blank";
}

TEST(DocumentsSeedRecord, OnAnotherDriveThePathsKeepTheirDriveLetter) {
  const std::string record = BuildDocumentsSeedRecord("C:\\Suite", "C:\\Suite\\ERP\\", false);
  EXPECT_EQ(record, Expected("C:\\Suite\\Vantor", "C:\\Suite\\Kelbar\\FIRMA", "C:\\Suite\\ERP"));
}

TEST(DocumentsSeedRecord, LongPathsAreCutToTheirFortyCharacterFields) {
  const std::string root = "C:\\" + std::string(45, 'r');
  const std::string record = BuildDocumentsSeedRecord(root, root + "\\ERP\\", false);
  EXPECT_EQ(record.substr(180, 40), root.substr(0, 40));
  EXPECT_EQ(record.substr(220, 40), root.substr(0, 40));
  EXPECT_EQ(record.substr(260, 40), root.substr(0, 40));
  EXPECT_EQ(record.substr(300, 2), std::string("\x3C\x00", 2)) << "a long path never spills over";
  EXPECT_EQ(record.substr(312, 40), root.substr(0, 40));
  EXPECT_EQ(record.substr(352, 2), std::string("\x00\x00", 2));
}

TEST(SameDriveLetter, ComparesTheLettersCaseBlind) {
  EXPECT_TRUE(SameDriveLetter("C:\\Suite", "c:\\x\\velmora.exe"));
  EXPECT_FALSE(SameDriveLetter("D:\\Suite", "C:\\Suite\\ERP\\velmora.exe"));
  EXPECT_FALSE(SameDriveLetter("\\\\server\\share", "C:\\x"));
  EXPECT_FALSE(SameDriveLetter("", "C:\\x"));
}

}  // namespace
}  // namespace velmora::shell
