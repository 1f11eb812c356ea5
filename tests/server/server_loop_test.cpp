// The Asio loop inside the test program, on every target (under wine for the
// Windows builds), spoken to by the plain blocking client.
#include "server/server.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/temp_dir.h"
#include "wire_client.h"

namespace velmora::server {
namespace {

namespace fs = std::filesystem;
using velmora::testing::QualificationLine;
using velmora::testing::WireClient;

class RunningServer {
 public:
  explicit RunningServer(Options options) : server_(std::move(options)) {
    error_ = server_.Start();
    if (error_.empty()) thread_ = std::thread([this] { server_.Run(); });
  }
  ~RunningServer() {
    server_.Stop();
    if (thread_.joinable()) thread_.join();
  }
  const std::string& error() const { return error_; }
  std::uint16_t port() const { return server_.port(); }
  Server& server() { return server_; }

 private:
  Server server_;
  std::thread thread_;
  std::string error_;
};

class ServerLoopTest : public ::testing::Test {
 protected:
  ServerLoopTest() {
    fs::create_directories(dir_.path() / "root");
    fs::create_directories(dir_.path() / "data" / "messages" / "4711");
    velmora::testing::WriteFileBytes(dir_.path() / "root" / "hotnews.txt", "<TEXT>Vantor</TEXT>");
    velmora::testing::WriteFileBytes(dir_.path() / "data" / "messages" / "4711" / "m.txt",
                                     "2026.12.08  09:30:00Buna ziua!");
  }
  Options MakeOptions() const {
    Options o;
    o.root = dir_.path() / "root";
    o.data = dir_.path() / "data";
    o.port = 0;
    o.exit_after_seconds = 60;  // a safety net should the test hang
    return o;
  }
  velmora::testing::TempDir dir_;
};

TEST_F(ServerLoopTest, ServesAndStopsFromAnotherThread) {
  RunningServer running(MakeOptions());
  ASSERT_EQ(running.error(), "");
  ASSERT_NE(running.port(), 0);
  EXPECT_EQ(running.server().address(), "127.0.0.1:" + std::to_string(running.port()));

  WireClient client(running.port());
  ASSERT_TRUE(client.connected());
  EXPECT_EQ(client.Exchange(QualificationLine("4711", "08.12.2026 PC C:\\ERP\\ fix")), "OK");
  EXPECT_EQ(client.Exchange("903 hotnews.txt"), "<TEXT>Vantor</TEXT>");
  EXPECT_EQ(client.Exchange("903 ..\\hotnews.txt"), "");
  EXPECT_EQ(client.Exchange("918 4711"), "2026.12.08  09:30:00Buna ziua!");
  EXPECT_EQ(client.Exchange("918 4711"), "");
  EXPECT_EQ(client.Exchange("901 4711      \x01\x02\x03"), "OK");
}

TEST_F(ServerLoopTest, APortIsNeverShared) {
  RunningServer first(MakeOptions());
  ASSERT_EQ(first.error(), "");
  Options o = MakeOptions();
  o.port = first.port();
  Server second(o);
  EXPECT_NE(second.Start(), "");
}

TEST_F(ServerLoopTest, MissingRootIsReported) {
  Options o = MakeOptions();
  o.root = dir_.path() / "absent";
  Server server(o);
  EXPECT_NE(server.Start(), "");
}

}  // namespace
}  // namespace velmora::server
