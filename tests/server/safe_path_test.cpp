// Requested names can never lead out of the served root.
#include "server/safe_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace velmora::server {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct NameCase {
  std::string name;
  const char* expected;  // generic form of the relative path, or nullptr when refused
};

TEST(CheckRequestedName, AcceptsPlainNamesAndSubfolders) {
  const std::vector<NameCase> cases = {
      {"hotnews.txt", "hotnews.txt"},
      {"hotnews.txt     ", "hotnews.txt"},  // the blank padding of the request text
      {"/updateVelmora/velmora.scn", "updateVelmora/velmora.scn"},
      {"\\updateVelmora\\velmora.scn", "updateVelmora/velmora.scn"},
      {"poze/tw01.jpg", "poze/tw01.jpg"},
      {"poze\\sub/tw01.jpgex", "poze/sub/tw01.jpgex"},
      {"~velmora.scn", "~velmora.scn"},
      {"a b.txt", "a b.txt"},
      {"..hidden", "..hidden"},  // dots inside a name are fine
      {"console.txt", "console.txt"},
      {"COM10", "COM10"},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.name);
    const NameCheck check = CheckRequestedName(c.name);
    ASSERT_TRUE(check.relative.has_value()) << check.problem;
    EXPECT_EQ(check.relative->generic_string(), c.expected);
  }
}

TEST(CheckRequestedName, RefusesEverythingThatCouldLeaveTheRoot) {
  const std::vector<std::string> refused = {
      "",
      "    ",
      "..",
      "../secret.txt",
      "/../secret.txt",
      "..\\secret.txt",
      "poze/../../secret.txt",
      "poze\\..\\..\\secret.txt",
      "./hotnews.txt",
      "poze/./x",
      "poze//x",
      "poze/",
      "//server/share/x",
      "\\\\server\\share\\x",
      "/",
      "C:\\Windows\\win.ini",
      "c:secret.txt",
      "hotnews.txt:stream",
      "hot\0news.txt"s,
      "hotnews.txt\0"s,
      "hot\nnews.txt",
      "hot\tnews.txt",
      "hot\x7Fnews.txt",
      "\xE2sta.txt",  // non-ASCII byte
      "a<b",
      "a>b",
      "a\"b",
      "a|b",
      "a?b",
      "a*b",
      "name.",
      "dir /x",
      "dir./x",
      "...",
      "CON",
      "con.txt",
      "Nul",
      "aux.dat",
      "PRN",
      "com1",
      "LPT9.log",
      "poze/nul",
      "CON .txt",
  };
  for (const std::string& name : refused) {
    SCOPED_TRACE(::testing::PrintToString(name));
    const NameCheck check = CheckRequestedName(name);
    EXPECT_FALSE(check.relative.has_value());
    EXPECT_FALSE(check.problem.empty());
  }
}

TEST(CheckRequestedName, LengthLimits) {
  // 508 characters in two components of at most 255 each: accepted.
  const std::string ok = std::string(254, 'a') + "/" + std::string(253, 'b');
  ASSERT_EQ(ok.size(), 508u);
  EXPECT_TRUE(CheckRequestedName(ok).relative.has_value());
  EXPECT_FALSE(CheckRequestedName(ok + "c").relative.has_value());  // 509
  EXPECT_TRUE(CheckRequestedName(std::string(255, 'a')).relative.has_value());
  EXPECT_FALSE(CheckRequestedName(std::string(256, 'a')).relative.has_value());
  EXPECT_FALSE(CheckRequestedName(std::string(5000, 'a')).relative.has_value());
}

TEST(IsInside, ComparesWholeComponents) {
  EXPECT_TRUE(IsInside(fs::path("/srv/root"), fs::path("/srv/root/a/b.txt")));
  EXPECT_TRUE(IsInside(fs::path("/srv/root/"), fs::path("/srv/root/a")));
  EXPECT_FALSE(IsInside(fs::path("/srv/root"), fs::path("/srv/rootkit/a")));
  EXPECT_FALSE(IsInside(fs::path("/srv/root"), fs::path("/srv")));
  EXPECT_FALSE(IsInside(fs::path("/srv/root"), fs::path("/etc/passwd")));
}

TEST(ResolveUnderRoot, FindsFilesAndReportsWhyNot) {
  testing::TempDir dir;
  const fs::path root = dir.path() / "root";
  fs::create_directories(root / "updateVelmora");
  testing::WriteFileBytes(root / "hotnews.txt", "news");
  testing::WriteFileBytes(root / "updateVelmora" / "velmora.scn", "1");
  testing::WriteFileBytes(dir.path() / "secret.txt", "secret");
  const fs::path canonical_root = fs::canonical(root);

  Resolved r = ResolveUnderRoot(canonical_root, "hotnews.txt");
  ASSERT_TRUE(r.file.has_value());
  EXPECT_EQ(testing::ReadFileBytes(*r.file), "news");

  r = ResolveUnderRoot(canonical_root, "\\updateVelmora\\velmora.scn");
  ASSERT_TRUE(r.file.has_value());
  EXPECT_EQ(testing::ReadFileBytes(*r.file), "1");

  r = ResolveUnderRoot(canonical_root, "missing.txt");
  EXPECT_FALSE(r.file.has_value());
  EXPECT_FALSE(r.rejected);
  EXPECT_EQ(r.problem, "not found");

  r = ResolveUnderRoot(canonical_root, "updateVelmora");  // a folder is not a file
  EXPECT_FALSE(r.file.has_value());
  EXPECT_FALSE(r.rejected);

  r = ResolveUnderRoot(canonical_root, "../secret.txt");
  EXPECT_FALSE(r.file.has_value());
  EXPECT_TRUE(r.rejected);
}

#ifndef _WIN32
TEST(ResolveUnderRoot, DoesNotFollowLinksOutOfTheRoot) {
  testing::TempDir dir;
  const fs::path root = dir.path() / "root";
  fs::create_directories(root / "inner");
  testing::WriteFileBytes(dir.path() / "secret.txt", "secret");
  testing::WriteFileBytes(root / "inner" / "real.txt", "real");
  fs::create_symlink(dir.path() / "secret.txt", root / "leak.txt");
  fs::create_directory_symlink(dir.path(), root / "up");
  fs::create_symlink(root / "inner" / "real.txt", root / "alias.txt");
  const fs::path canonical_root = fs::canonical(root);

  EXPECT_TRUE(ResolveUnderRoot(canonical_root, "leak.txt").rejected);
  EXPECT_TRUE(ResolveUnderRoot(canonical_root, "up/secret.txt").rejected);
  const Resolved inside =
      ResolveUnderRoot(canonical_root, "alias.txt");  // a link that stays inside is fine
  ASSERT_TRUE(inside.file.has_value());
  EXPECT_EQ(testing::ReadFileBytes(*inside.file), "real");
}
#endif

}  // namespace
}  // namespace velmora::server
