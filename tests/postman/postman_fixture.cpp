#include "postman_fixture.h"

#include <algorithm>
#include <thread>

#include "common/shared_state.h"
#include "common/transfer_size.h"
#include "link/link_api.h"
#include "link/link_testing.h"
#include "server/server.h"
#include "stored_requests.h"

namespace velmora::postman::testing {

namespace fs = std::filesystem;
using velmora::testing::ReadFileBytes;
using velmora::testing::WriteFileBytes;

namespace {

constexpr int32_t kClientCode = 4711;

HWND MakeStandInDialog() {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelmoraPostmanTestDialog";
    return RegisterClassA(&wc) != 0;
  }();
  if (!registered) return nullptr;
  return CreateWindowExA(0, "VelmoraPostmanTestDialog", "postman", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                         200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

struct InProcessServer::Running {
  explicit Running(server::Options options) : server(std::move(options)) {}
  server::Server server;
  std::thread thread;
};

InProcessServer::InProcessServer(server::Options options)
    : running_(std::make_unique<Running>(std::move(options))) {
  error_ = running_->server.Start();
  if (error_.empty()) running_->thread = std::thread([this] { running_->server.Run(); });
}

InProcessServer::~InProcessServer() {
  running_->server.Stop();
  if (running_->thread.joinable()) running_->thread.join();
}

uint16_t InProcessServer::port() const { return error_.empty() ? running_->server.port() : 0; }

void PassTest::SetUp() {
  link::testing::ResetLink();
  link::SETNETLIBSILENTMODE(2);  // as the news thread leaves the link
  link::SETSTARERPMODE(true);
  for (const char* folder : {"OUT", "SENT", "root", "data"})
    fs::create_directories(dir_.path() / folder);
  dialog_ = MakeStandInDialog();
  buffer_.assign(kTransferBufferSize, '\0');
  place_ = {
      dialog_, GetModuleHandleA(nullptr), (Out() / "").string(), (Sent() / "").string(), buffer_,
      0};
  SharedState& shared = Shared();
  shared.clientCode = kClientCode;
  shared.ready = true;
  shared.messageCheck = false;
  shared.messagePassCount = 0;
}

void PassTest::TearDown() {
  if (link::testing::LinkWindow() != nullptr) link::INCHIDECONECTARELASERVER();
  if (IsWindow(dialog_)) DestroyWindow(dialog_);
  server_.reset();
}

void PassTest::StartServer(const server::FaultSwitches& faults) {
  server::Options options;
  options.root = dir_.path() / "root";
  options.data = dir_.path() / "data";
  options.port = 0;
  options.log = (dir_.path() / "server.log").string();
  options.exit_after_seconds = 120;
  options.faults = faults;
  server_ = std::make_unique<InProcessServer>(options);
  ASSERT_EQ(server_->error(), "");
  link::SETTCPPORT(server_->port());
  link::SETIPFIX("127.0.0.1");
}

int16_t PassTest::RunPass(int32_t period) {
  const int16_t result = RunSyncPass(place_, period);
  KillTimer(dialog_, 2);
  return result;
}

void PassTest::Drop(const std::string& name, const std::string& bytes, int minutesAfter) {
  const fs::path file = Out() / name;
  WriteFileBytes(file, bytes);
  SYSTEMTIME morning{2026, 12, 2, 8, 8, 0, 0, 0};
  FILETIME time;
  SystemTimeToFileTime(&morning, &time);
  ULARGE_INTEGER ticks{{time.dwLowDateTime, time.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(minutesAfter) * 60 * 10000000;
  time = {ticks.LowPart, ticks.HighPart};
  const HANDLE handle = CreateFileA(file.string().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(SetFileTime(handle, &time, &time, &time));
  CloseHandle(handle);
}

std::vector<std::pair<std::string, std::string>> PassTest::FilesIn(const fs::path& folder) const {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file())
      files.emplace_back(entry.path().filename().string(), ReadFileBytes(entry.path()));
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> PassTest::Received() const { return StoredRequests(dir_.path() / "data"); }

bool PassTest::ServerSawAConnection() const {
  return ReadFileBytes(dir_.path() / "server.log").find(" 000 ") != std::string::npos;
}

}  // namespace velmora::postman::testing
