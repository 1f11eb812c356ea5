// SHA-256 through bcrypt against the published test vectors.

#include "update_manifest/sha256_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace velmora::standins {
namespace {

TEST(Sha256, MatchesThePublishedVectorsForBytesAndFiles) {
  struct Case {
    std::string bytes;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {std::string(1'000'000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  velmora::testing::TempDir dir;
  for (const Case& c : cases) {
    EXPECT_EQ(Sha256OfBytes(c.bytes), c.digest);
    velmora::testing::WriteFileBytes(dir.path() / "f", c.bytes);
    EXPECT_EQ(Sha256OfFile(dir.path() / "f"), c.digest);
  }
  EXPECT_FALSE(Sha256OfFile(dir.path() / "missing").has_value());
}

}  // namespace
}  // namespace velmora::standins
