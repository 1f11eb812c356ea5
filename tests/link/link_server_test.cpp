// The link against the reference vendor server (velmora-server, started here
// on a free loopback port) and its fault switches.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "link/link_api.h"
#include "link/link_testing.h"
#include "link_fixture.h"

namespace velmora::link::testing {
namespace {

// One velmora-server process for one test; ended when the test ends.
class ReferenceServer {
 public:
  ReferenceServer(const std::string& root, const std::string& data, const std::string& switches) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &sa, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string command = "\"" VELMORA_SERVER_EXE "\" --root \"" + root + "\" --data \"" + data +
                          "\" --port 0 --log \"" + data + "\\server.log\" --exit-after-seconds 120 " + switches;
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &process_);
    CloseHandle(writeEnd);
    std::string line;
    char c;
    DWORD got = 0;
    while (started_ && ReadFile(readEnd, &c, 1, &got, nullptr) && got == 1 && c != '\n') line += c;
    CloseHandle(readEnd);
    const auto colon = line.rfind(':');
    if (line.rfind("listening on 127.0.0.1:", 0) == 0 && colon != std::string::npos)
      port_ = static_cast<uint16_t>(std::atoi(line.c_str() + colon + 1));
  }
  ~ReferenceServer() {
    if (!started_) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  uint16_t port() const { return port_; }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
  uint16_t port_ = 0;
};

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
    server_ = std::make_unique<ReferenceServer>(dir_ / "root", dir_ / "data", switches);
    if (server_->port() == 0) return -100;
    SETTCPPORT(server_->port());
    SETIPFIX("127.0.0.1");
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
  std::unique_ptr<ReferenceServer> server_;
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
