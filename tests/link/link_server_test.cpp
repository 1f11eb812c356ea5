// The link against the reference vendor server (velmora-server, started here
// on a free port of a loopback address of its own) and its fault switches.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/link_api.h"
#include "link/link_testing.h"
#include "link_fixture.h"
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
    velmora::testing::WriteFileBytes(dir_.path() / "root" / "pics" / "a.jpg", std::string(70000, 'J'));
  }
  int16_t Start(const std::string& switches) {
    server_ = std::make_unique<velmora::testing::ReferenceServer>(VELMORA_SERVER_EXE, dir_.path() / "root",
                                                                  dir_.path() / "data", switches, 120, 0);
    if (!server_->listening()) return -100;
    SETTCPPORT(server_->port());
    SETIPFIX(server_->address());
    return INITCONECTARELASERVER(dialog_, instance_, 4321);
  }
  std::string Fetch(std::string_view request, int32_t* result = nullptr) {
    std::string answer(100000, '\0');
    const int32_t n = GETRASPUNSCALIFICARE(request, answer.data(), static_cast<int32_t>(answer.size()));
    if (result != nullptr) *result = n;
    return n > 0 ? answer.substr(0, static_cast<std::size_t>(n)) : std::string();
  }
  void TearDown() override {
    LinkTest::TearDown();
    server_.reset();
  }

  const std::string news_ = "<DATA>08.12.2026</DATA><EURO>4.9712</EURO><USD>4.5100</USD><TEXT>abc</TEXT>";
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
    if (entry.is_regular_file() && velmora::testing::ReadFileBytes(entry.path()).find("915 salut") != std::string::npos)
      found = true;
  EXPECT_TRUE(found);
}

TEST_F(LinkAgainstServer, RefusedQualificationIsRetriedAtTheSameAddress) {
  ASSERT_EQ(Start("--refuse-qualification --fault-limit 1"), 0);
  EXPECT_TRUE(Qualified());
  EXPECT_EQ(Fetch("903 hotnews.txt"), news_);
}

TEST_F(LinkAgainstServer, MarkedAnswers) {
  ASSERT_EQ(Start("--mark-answers --fault-scope requests"), 0);
  EXPECT_EQ(Fetch("903 hotnews.txt"), "**1" + news_);
  EXPECT_TRUE(IsAnswerMarked());
}

TEST_F(LinkAgainstServer, ShortAnnouncedAnswerIsAnOverrunThenReconnects) {
  ASSERT_EQ(Start("--short-announce 3 --fault-scope requests --fault-limit 1"), 0);
  int32_t result = 0;
  Fetch("903 hotnews.txt", &result);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(Fetch("903 hotnews.txt", &result), news_);
}

TEST_F(LinkAgainstServer, DroppedAnswerFailsThenReconnects) {
  ASSERT_EQ(Start("--drop-after 20 --fault-scope requests --fault-limit 1"), 0);
  int32_t result = 0;
  Fetch("903 hotnews.txt", &result);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(Fetch("903 hotnews.txt"), news_);
}

TEST_F(LinkAgainstServer, DelayedAnswerStillArrives) {
  ASSERT_EQ(Start("--delay-ms 1500 --fault-scope requests"), 0);
  EXPECT_EQ(Fetch("903 hotnews.txt"), news_);
}

TEST_F(LinkAgainstServer, SilentNeverAnswerGivesUpAndTheProcessGoesOn) {
  SETNETLIBSILENTMODE(2);
  ASSERT_EQ(Start("--never-answer --fault-scope requests --fault-limit 1"), 0);
  int32_t result = 0;
  Fetch("903 hotnews.txt", &result);
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(Fetch("903 hotnews.txt"), news_);
}

}  // namespace
}  // namespace velmora::link::testing
