#pragma once
// A sync pass run on the test's thread against the reference server running
// in-process on a free loopback port: a window standing in for the postman
// dialog, ERP\OUT\ and ERP\SENT\ in a temporary folder, the shared flags set
// as the news fetch leaves them, and every message box recorded.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "postman/sync_pass.h"
#include "server/options.h"
#include "support/temp_dir.h"
#include "support/ui_recorders.h"

namespace velmora::postman::testing {

// The reference server on its own thread of the test program.
class InProcessServer {
 public:
  explicit InProcessServer(server::Options options);
  ~InProcessServer();
  InProcessServer(const InProcessServer&) = delete;
  InProcessServer& operator=(const InProcessServer&) = delete;
  const std::string& error() const { return error_; }
  uint16_t port() const;

 private:
  struct Running;
  std::unique_ptr<Running> running_;
  std::string error_;
};

class PassTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the server with `faults`; the link is pointed at it.
  void StartServer(const server::FaultSwitches& faults = {});
  void StopServer() { server_.reset(); }
  int16_t RunPass(int32_t period = 60000);

  // Writes a file into OUT\ whose creation (and last-write) time is
  // `minutesAfter` minutes after a fixed morning hour.
  void Drop(const std::string& name, const std::string& bytes, int minutesAfter);
  std::filesystem::path Out() const { return dir_.path() / "OUT"; }
  std::filesystem::path Sent() const { return dir_.path() / "SENT"; }
  // name -> bytes of the regular files directly in a folder.
  std::vector<std::pair<std::string, std::string>> FilesIn(
      const std::filesystem::path& folder) const;
  // The request payloads the server stored, in the order they arrived.
  std::vector<std::string> Received() const;
  bool ServerSawAConnection() const;

  velmora::testing::TempDir dir_;
  HWND dialog_ = nullptr;
  PassPlace place_;
  std::vector<char> buffer_;
  std::unique_ptr<InProcessServer> server_;
  velmora::testing::BoxRecorder boxes_;
};

}  // namespace velmora::postman::testing
