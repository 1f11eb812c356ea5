// The link against the reference vendor server (velmora-server, started here
// on a free port of a loopback address of its own) and its fault switches.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/link_api.h"
#include "link/link_testing.h"
#include "support/link_fixture.h"
#include "support/reference_server.h"

namespace velmora::link::testing {
namespace {

class LinkAgainstServer : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    std::filesystem::create_directories(dir_.path() / "root" / "pics");
    std::filesystem::create_directories(dir_.path() / "data");
    velmora::testing::WriteFileBytes(dir_.path() / "root" / "hotnews.txt", news_);
    velmora::testing::WriteFileBytes(dir_.path() / "root" / "pics" / "a.jpg",
                                     std::string(70000, 'J'));
  }
  int16_t Start(const std::string& switches) {
    server_ = std::make_unique<velmora::testing::ReferenceServer>(
        VELMORA_SERVER_EXE, dir_.path() / "root", dir_.path() / "data", switches, 120, 0);
    if (!server_->listening()) return -100;
    SETTCPPORT(server_->port());
    SETIPFIX(server_->address());
    return INITCONECTARELASERVER(dialog_, instance_, 4321);
  }
  std::string Fetch(std::string_view request, int32_t* result = nullptr) {
    std::string answer(100000, '\0');
    const int32_t n =
        GETRASPUNSCALIFICARE(request, answer.data(), static_cast<int32_t>(answer.size()));
    if (result != nullptr) *result = n;
    return n > 0 ? answer.substr(0, static_cast<std::size_t>(n)) : std::string();
  }
  void TearDown() override {
    LinkTest::TearDown();
    server_.reset();
  }

  const std::string news_ =
      "<DATA>08.12.2026</DATA><EURO>4.9712</EURO><USD>4.5100</USD><TEXT>abc</TEXT>";
  std::unique_ptr<velmora::testing::ReferenceServer> server_;
};

TEST_F(LinkAgainstServer, NewsDownloadAndUpload) {
  ASSERT_EQ(Start(""), 0);
  EXPECT_EQ(Fetch("903 hotnews.txt"), news_);
  EXPECT_FALSE(IsAnswerMarked());
  const std::string target = dir_ / "a.jpg";
  EXPECT_EQ(DOWNLOADFISIERDEPESERVER("pics/a.jpg", target, 3021), 70000);
  EXPECT_EQ(velmora::testing::ReadFileBytes(target), std::string(70000, 'J'));
  velmora::testing::WriteFileBytes(dir_ / "out.dat", "915 salut");
  EXPECT_EQ(SENDFISIERTOSERVER((dir_ / "out.dat").c_str()), 0);
  // The server keeps every stored request as a file of its own.
  bool found = false;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.path() / "data"))
    if (entry.is_regular_file() &&
        velmora::testing::ReadFileBytes(entry.path()).find("915 salut") != std::string::npos)
      found = true;
  EXPECT_TRUE(found);
}

// Each fault once: the exchange it hits gives this result, and the next one
// (over a new connection where needed) brings the news whole.
TEST_F(LinkAgainstServer, FaultSwitches) {
  const struct {
    const char* switches;
    bool silent;
    std::string answer;  // of the first fetch; none: it fails, and a second fetch follows
    bool marked;
  } cases[] = {
      {"--refuse-qualification --fault-limit 1", false, news_,
       false},  // retried at the same address
      {"--mark-answers --fault-scope requests", false, "**1" + news_, true},
      {"--short-announce 3 --fault-scope requests --fault-limit 1", false, "",
       false},  // an overrun
      {"--drop-after 20 --fault-scope requests --fault-limit 1", false, "", false},
      {"--delay-ms 1500 --fault-scope requests", false, news_, false},
      // Silent: the exchange is given up without a question; the process goes on.
      {"--never-answer --fault-scope requests --fault-limit 1", true, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.switches);
    ResetLink();
    boxes_.clear();
    if (c.silent) {
      SETNETLIBSILENTMODE(2);
      ShortenWaits();  // its answer watchdog is not waited out for real
    }
    ASSERT_EQ(Start(c.switches), 0);
    EXPECT_TRUE(Qualified());
    int32_t result = 0;
    EXPECT_EQ(Fetch("903 hotnews.txt", &result), c.answer);
    EXPECT_EQ(result, c.answer.empty() ? -1 : static_cast<int32_t>(c.answer.size()));
    EXPECT_EQ(IsAnswerMarked(), c.marked);
    if (c.answer.empty()) {
      EXPECT_EQ(Fetch("903 hotnews.txt"), news_);
    }
    if (c.silent) {
      EXPECT_TRUE(boxes_.empty());
    }
  }
}

}  // namespace
}  // namespace velmora::link::testing
