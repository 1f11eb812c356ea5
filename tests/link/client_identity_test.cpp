// The client information line and the pieces it is made of.

#include <gtest/gtest.h>

#include <string>

#include "link/client_identity.h"

namespace velmora::link {
namespace {

TEST(ClientIdentity, FifteenCharacterComputerInDErp) {
  const std::string info =
      BuildClientInformation("07.03.2026", "ABCDEFGHIJKLMNO", "D:\\ERP\\", "fix");
  EXPECT_EQ(info, "07.03.2026 ABCDEFGHIJKLMNO D:\\ERP\\ fix");
  EXPECT_EQ(info.size(), 38u);  // 15 + 7 + 16
}

TEST(ClientIdentity, DirectoryTextLosesTrailingBlanks) {
  const std::string info = BuildClientInformation("01.01.1601", "PC", "C:\\A B\\   ", " ? ");
  EXPECT_EQ(info, "01.01.1601 PC C:\\A B\\  ? ");
  EXPECT_EQ(info.size(), 2u + 7u + 16u);
}

TEST(ClientIdentity, SplitPath) {
  const struct {
    const char* path;
    const char *drive, *directory, *name, *extension;
  } cases[] = {
      {"C:\\Suite\\ERP\\velmora.exe", "C:", "\\Suite\\ERP\\", "velmora", ".exe"},
      {"D:\\ERP\\a.b.exe", "D:", "\\ERP\\", "a.b", ".exe"},
      {"\\\\server\\share\\v.exe", "", "\\\\server\\share\\", "v", ".exe"},
      {"velmora", "", "", "velmora", ""},
      {"Z:/x/y/t.exe", "Z:", "/x/y/", "t", ".exe"},
  };
  for (const auto& c : cases) {
    const PathParts p = SplitPath(c.path);
    EXPECT_EQ(p.drive, c.drive) << c.path;
    EXPECT_EQ(p.directory, c.directory) << c.path;
    EXPECT_EQ(p.name, c.name) << c.path;
    EXPECT_EQ(p.extension, c.extension) << c.path;
  }
  EXPECT_EQ(DirectoryText(SplitPath("D:\\ERP\\velmora.exe")), "D:\\ERP\\");
}

TEST(ClientIdentity, ProgramName) {
  EXPECT_EQ(ProgramNameFromPath("C:\\ERP\\velmora.exe"), "velmora");
  EXPECT_EQ(ProgramNameFromPath("C:\\ERP\\a_very_long_program_name_here.exe"),
            "a_very_long_program_");
  EXPECT_EQ(ProgramNameFromPath(""), "?");
}

TEST(ClientIdentity, DriveKinds) {
  const struct {
    unsigned type;
    const char* text;
  } cases[] = {{0, " ? "}, {1, " ? "}, {2, "rem"}, {3, "fix"}, {4, "ret"}, {5, "cd?"}, {6, " ? "}};
  for (const auto& c : cases) EXPECT_EQ(DriveKindText(c.type), c.text) << c.type;
}

TEST(ClientIdentity, FileDate) {
  EXPECT_EQ(FormatFileDate(7, 3, 2026), "07.03.2026");
  EXPECT_EQ(FormatFileDate(1, 1, 1601), "01.01.1601");
  EXPECT_EQ(FormatFileDate(31, 12, 999), "31.12.0999");
}

}  // namespace
}  // namespace velmora::link
