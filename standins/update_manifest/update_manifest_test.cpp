// The update manifest: what is accepted, what refuses the whole manifest,
// and the check of a staging folder against it (with a stand-in digest).

#include "update_manifest/update_manifest.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace velmora::standins {
namespace {

namespace fs = std::filesystem;
using velmora::testing::TempDir;
using velmora::testing::WriteFileBytes;

const std::string kDigestA(64, 'a');
const std::string kDigestB(64, 'b');

std::string Header() { return std::string(kManifestHeader) + "\r\n"; }

TEST(UpdateManifest, ReadsEntriesWithBlanksInPathsAndEitherSlash) {
  const auto manifest =
      ParseManifest(Header() + "12 " + kDigestA + " Kelbar\\kelbarw.exe\r\n\r\n7 " +
                    std::string(64, 'B') + " Program Files/a b.dat  \n");
  ASSERT_TRUE(manifest.has_value());
  ASSERT_EQ(manifest->files.size(), 2u);
  EXPECT_EQ(manifest->files[0], (ManifestEntry{"Kelbar\\kelbarw.exe", 12, kDigestA}));
  EXPECT_EQ(manifest->files[1], (ManifestEntry{"Program Files\\a b.dat", 7, kDigestB}));
  EXPECT_EQ(ParseManifest(FormatManifest(*manifest))->files, manifest->files);
}

TEST(UpdateManifest, AnyBadLineRefusesTheWholeManifest) {
  const std::string good = "1 " + kDigestA + " ERP\\a.dat\r\n";
  const std::string bad[] = {
      "1 " + kDigestA + " ..\\outside.exe",
      "1 " + kDigestA + " ERP\\..\\..\\x",
      "1 " + kDigestA + " C:\\x.exe",
      "1 " + kDigestA + " \\Windows\\x.dll",
      "1 " + kDigestA + " ERP\\\\a.dat",
      "1 " + kDigestA + " ERP\\a.dat",
      "x " + kDigestA + " ERP\\b.dat",
      "1 " + kDigestA.substr(1) + " ERP\\b.dat",
      "1 " + kDigestA,
      "-1 " + kDigestA + " ERP\\b.dat",
      "1 " + std::string(64, 'g') + " ERP\\b.dat",
      "1 " + kDigestA + " ERP\\nul.txt",
      "1 " + kDigestA + " Com1\\x.dat",
  };
  ASSERT_TRUE(ParseManifest(Header() + good).has_value());
  for (const std::string& line : bad) {
    std::string problem;
    EXPECT_FALSE(ParseManifest(Header() + good + line + "\r\n", &problem).has_value()) << line;
    EXPECT_FALSE(problem.empty()) << line;
  }
  EXPECT_FALSE(ParseManifest(good).has_value()) << "no header";
  EXPECT_FALSE(ParseManifest("").has_value());
}

TEST(UpdateManifest, RemotePathsUseForwardSlashes) {
  EXPECT_EQ(RemotePathOf("Kelbar\\kelbarw.exe"), "/updateVelmora/suite/Kelbar/kelbarw.exe");
}

TEST(StagingCheck, NamesTheFirstFileThatDoesNotMatch) {
  struct Case {
    const char* what;   // the problem expected; nullptr: none
    const char* bytes;  // of the staged Vantor\q.exe; nullptr: removed
    bool stray;         // a staged file ERP the manifest does not list
    const char* path;
  };
  const Case cases[] = {{nullptr, "new q", false, ""},
                        {"not listed", "new q", true, "ERP"},
                        {"size", "new", false, "Vantor\\q.exe"},
                        {"hash", "NEW q", false, "Vantor\\q.exe"},
                        {"missing", nullptr, false, "Vantor\\q.exe"}};
  Manifest manifest;
  manifest.files = {{"Vantor\\q.exe", 5, kDigestA}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what ? c.what : "match");
    TempDir dir;
    WriteFileBytes(dir.path() / kStagedManifestName, "(the manifest itself)");
    fs::create_directories(dir.path() / "Vantor");
    if (c.bytes != nullptr) WriteFileBytes(dir.path() / "Vantor" / "q.exe", c.bytes);
    if (c.stray) WriteFileBytes(dir.path() / "ERP", "");
    // The stand-in digest: kDigestA for the bytes "new q", kDigestB for anything else.
    const auto problem =
        CheckStaging(manifest, dir.path(), [](const fs::path& file) -> std::optional<std::string> {
          return velmora::testing::ReadFileBytes(file) == "new q" ? kDigestA : kDigestB;
        });
    ASSERT_EQ(problem.has_value(), c.what != nullptr);
    if (!problem) continue;
    EXPECT_EQ(problem->path, c.path);
    EXPECT_EQ(problem->what, c.what);
  }
}

}  // namespace
}  // namespace velmora::standins
