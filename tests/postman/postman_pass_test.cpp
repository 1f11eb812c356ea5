// Sync passes against the reference server: order, filing into SENT\, files
// that are not requests, files still being written, and the server's faults.
// Whatever happens, every file is in OUT or in SENT, and a file leaves OUT
// for SENT under its own name only once the server has it.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "common/shared_state.h"
#include "link/link_api.h"
#include "link/link_testing.h"
#include "postman/pass_rules.h"
#include "postman_fixture.h"
#include "support/driver.h"

namespace velmora::postman::testing {
namespace {

namespace fs = std::filesystem;
using Files = std::vector<std::pair<std::string, std::string>>;

const Files kThree = {{"a.dat", "915 first"}, {"b.dat", "450 second"}, {"c.dat", "777 third"}};

class Pass : public PassTest {
 protected:
  // Drops kThree created in the order c, a, b.
  void DropThree() {
    Drop("c.dat", "777 third", 0);
    Drop("a.dat", "915 first", 1);
    Drop("b.dat", "450 second", 2);
  }
  // Runs a pass with the link's log on: its result, and the texts of the log
  // lines without their " hh:mm:ss:cc - " stamps.
  std::pair<int16_t, std::vector<std::string>> RunLoggedPass() {
    static std::vector<std::string>* lines = nullptr;
    std::vector<std::string> texts;
    lines = &texts;
    link::SetLinkLogWriter([](std::string_view line) {
      lines->emplace_back(line.substr(std::min(line.size(), line.find(" - ") + 3)));
    });
    link::SETLUNSTARWNDLOG(1);
    const int16_t result = RunPass();
    link::SETLUNSTARWNDLOG(0);
    link::SetLinkLogWriter(nullptr);
    return {result, texts};
  }
};

TEST_F(Pass, SendsOldestFirstAndFilesEachInSentUnderItsName) {
  StartServer();
  DropThree();
  EXPECT_EQ(RunPass(), kPassDone);
  EXPECT_EQ(Received(), (std::vector<std::string>{"777 third", "915 first", "450 second"}));
  EXPECT_EQ(FilesIn(Sent()), kThree);
  EXPECT_TRUE(FilesIn(Out()).empty());
}

TEST_F(Pass, NineOClockGoesBeforeTen) {
  StartServer();
  Drop("ten.dat", "915 ten", 120);
  Drop("nine.dat", "915 nine", 60);
  EXPECT_EQ(RunPass(), kPassDone);
  EXPECT_EQ(Received(), (std::vector<std::string>{"915 nine", "915 ten"}));
}

// Each fault touches the answer to the first file (or the first
// qualifications); later passes finish the work.
struct FaultCase {
  const char* name;
  server::FaultSwitches faults;
  bool firstPassMovesNone;
  // Shortens the link's answer watchdog, which the fault waits out (never
  // for a slow server, whose answers must come within the real one).
  bool shortAnswerWait = false;
};

// For a case that waits one of the link's time-outs out.
void ShortenLinkPeriod(unsigned link::LinkPeriods::*period) {
  link::LinkPeriods periods = link::testing::Periods();
  periods.*period = 700;
  link::testing::SetPeriods(periods);
}

class ServerFault : public Pass, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ServerFault, NothingIsLostAndTheRestWaitsInOrder) {
  if (GetParam().shortAnswerWait) ShortenLinkPeriod(&link::LinkPeriods::answerMs);
  StartServer(GetParam().faults);
  DropThree();
  const int16_t first = RunPass();
  if (GetParam().firstPassMovesNone) {
    EXPECT_EQ(first, kPassDone);  // a failed send still counts as a pass that worked
    EXPECT_EQ(FilesIn(Out()), kThree);
    EXPECT_TRUE(FilesIn(Sent()).empty());
  }
  for (int pass = 0; pass < 3 && !FilesIn(Out()).empty(); ++pass) RunPass();
  EXPECT_TRUE(FilesIn(Out()).empty());
  EXPECT_EQ(FilesIn(Sent()), kThree);
  // The server holds every file, byte for byte, first arrivals in order; a
  // file whose answer was lost may be there twice.
  std::vector<std::string> firstArrivals;
  for (const std::string& payload : Received()) {
    if (std::find(firstArrivals.begin(), firstArrivals.end(), payload) == firstArrivals.end())
      firstArrivals.push_back(payload);
  }
  EXPECT_EQ(firstArrivals, (std::vector<std::string>{"777 third", "915 first", "450 second"}));
  EXPECT_TRUE(boxes_.Boxes().empty());
}

server::FaultSwitches Faults(void (*set)(server::FaultSwitches&)) {
  server::FaultSwitches faults;
  set(faults);
  return faults;
}
constexpr auto kRequests = server::FaultScope::kRequests;

INSTANTIATE_TEST_SUITE_P(
    Faults, ServerFault,
    ::testing::Values(FaultCase{"RefusedQualification", Faults([](auto& f) {
                                  f.refuse_qualification = true;
                                  f.limit = 2;
                                }),
                                false},
                      FaultCase{"DroppedMidAnswer", Faults([](auto& f) {
                                  f.drop_after = 5;
                                  f.scope = kRequests;
                                  f.limit = 1;
                                }),
                                true},
                      FaultCase{"MoreBytesThanAnnounced", Faults([](auto& f) {
                                  f.short_announce = 1;
                                  f.scope = kRequests;
                                  f.limit = 1;
                                }),
                                true},
                      FaultCase{"NoAnswer", Faults([](auto& f) {
                                  f.never_answer = true;
                                  f.scope = kRequests;
                                  f.limit = 1;
                                }),
                                true, true},
                      FaultCase{"SlowServer", Faults([](auto& f) { f.delay_ms = 1500; }), false}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST_F(Pass, ServerDownMeansNoConnectionAndTheFilesWait) {
  StartServer();
  const uint16_t port = server_->port();
  StopServer();
  link::SETTCPPORT(port);
  ShortenLinkPeriod(&link::LinkPeriods::connectMs);
  DropThree();
  EXPECT_EQ(RunPass(), kPassNoConnection);
  EXPECT_EQ(FilesIn(Out()), kThree);
  EXPECT_TRUE(FilesIn(Sent()).empty());
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(Pass, FilesThatAreNotRequestsWaitForARequestAndAreThenSetAsideUnsent) {
  StartServer();
  const std::string tooLarge = "915 " + std::string(9935760 - 4, 'x');
  Files odd = {{"big.dat", tooLarge},
               {"note.txt", "hello"},
               {"short.dat", "91"},
               {"word.dat", "abc def"},
               {"nodigit.dat", "91x 1"}};
  int minute = 0;
  for (const auto& [name, bytes] : odd) Drop(name, bytes, minute++);
  std::sort(odd.begin(), odd.end());
  EXPECT_EQ(RunPass(), kPassNothingToSend);
  EXPECT_FALSE(ServerSawAConnection());
  EXPECT_EQ(FilesIn(Out()), odd);
  // Once a request lies beside them, the pass connects and sets them aside.
  Drop("req.dat", "915 salut", minute);
  EXPECT_EQ(RunPass(), kPassDone);
  EXPECT_TRUE(FilesIn(Out()).empty());
  Files expected;
  for (const auto& [name, bytes] : odd) expected.emplace_back("!" + name, bytes);
  expected.emplace_back("req.dat", "915 salut");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesIn(Sent()), expected);
  EXPECT_EQ(Received(), (std::vector<std::string>{"915 salut"}));
}

TEST_F(Pass, AFileThatIsNotARequestStaysWhenItCannotBeSetAside) {
  StartServer();
  Drop("note.txt", "hello", 0);
  Drop("req.dat", "915 salut", 1);
  fs::create_directories(Sent() / "!note.txt");  // the move aside cannot replace a folder
  EXPECT_EQ(RunPass(), kPassDone);
  EXPECT_EQ(FilesIn(Out()), (Files{{"note.txt", "hello"}}));
  EXPECT_EQ(FilesIn(Sent()), (Files{{"req.dat", "915 salut"}}));
}

TEST_F(Pass, AFileStillBeingWrittenIsTakenAtALaterPass) {
  StartServer();
  DropThree();
  const HANDLE writer = CreateFileA((Out() / "a.dat").string().c_str(), GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunPass(), kPassDone);
  EXPECT_EQ(FilesIn(Sent()), (Files{{"b.dat", "450 second"}, {"c.dat", "777 third"}}));
  CloseHandle(writer);
  EXPECT_EQ(FilesIn(Out()), (Files{{"a.dat", "915 first"}}));
  EXPECT_EQ(RunPass(), kPassDone);
  EXPECT_EQ(FilesIn(Sent()), kThree);
}

TEST_F(Pass, SubfoldersAreLeftAlone) {
  StartServer();
  fs::create_directories(Out() / "sub");
  velmora::testing::WriteFileBytes(Out() / "sub" / "inner.dat", "915 inner");
  Drop("req.dat", "915 salut", 0);
  EXPECT_EQ(RunPass(), kPassDone);
  EXPECT_EQ(Received(), (std::vector<std::string>{"915 salut"}));
  EXPECT_EQ(velmora::testing::ReadFileBytes(Out() / "sub" / "inner.dat"), "915 inner");
}

TEST_F(Pass, AtMost2000FilesAreConsideredInOnePass) {
  for (int i = 0; i <= 2000; ++i)
    velmora::testing::WriteFileBytes(Out() / ("n" + std::to_string(i)), "x");
  const auto [result, lines] = RunLoggedPass();
  EXPECT_EQ(result, kPassNothingToSend);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Fisiere FF  2000"), lines.end());
}

// The early ends: no connection, timer 2 re-armed with the period given.
TEST_F(Pass, WithoutClientCodeOrNewsThePassEndsEarlyAndRearmsItsTimer) {
  StartServer();
  Drop("req.dat", "915 salut", 0);
  const struct {
    int32_t clientCode;
    bool ready;
    int16_t result;
  } cases[] = {{0, true, kPassNoClientCode}, {4711, false, kPassNotReady}};
  for (const auto& c : cases) {
    Shared().clientCode = c.clientCode;
    Shared().ready = c.ready;
    EXPECT_EQ(RunSyncPass(place_, 50), c.result);
    MSG msg;
    const DWORD start = GetTickCount();
    bool ticked = false;
    while (!ticked && GetTickCount() - start < 2000) {
      if (PeekMessageA(&msg, dialog_, WM_TIMER, WM_TIMER, PM_REMOVE)) ticked = msg.wParam == 2;
      Sleep(5);
    }
    KillTimer(dialog_, 2);
    EXPECT_TRUE(ticked) << c.result;
  }
  EXPECT_FALSE(ServerSawAConnection());
  EXPECT_EQ(FilesIn(Out()), (Files{{"req.dat", "915 salut"}}));
}

TEST_F(Pass, MessageCheckFetchesTheWaitingMessageEvery120thPassWhileEnabled) {
  StartServer();
  const fs::path waiting = dir_.path() / "data" / "messages" / "4711";
  fs::create_directories(waiting);
  velmora::testing::WriteFileBytes(waiting / "m.txt", "2026.12.08  09:30:00Buna ziua!");
  const struct {
    bool enabled;
    int16_t before, after;
    bool fetched;
  } cases[] = {{false, 119, 119, false}, {true, 5, 6, false}, {true, 119, 0, true}};
  for (const auto& c : cases) {
    Shared().messageCheck = c.enabled;
    Shared().messagePassCount = c.before;
    Shared().received.Store("");
    RunPass();
    EXPECT_EQ(Shared().messagePassCount, c.after) << c.enabled << " " << c.before;
    EXPECT_EQ(Shared().received.Peek().starts_with("2026.12.08  09:30:00Buna ziua!"), c.fetched)
        << c.enabled << " " << c.before;
  }
  // Delivered once: the server marks it so once its answer has gone out.
  EXPECT_TRUE(velmora::testing::WaitUntil([&] { return !fs::exists(waiting / "m.txt"); },
                                          velmora::testing::Milliseconds(5000)));
}

TEST_F(Pass, LogTellsTheStepsOfAPass) {
  StartServer();
  Drop("req.dat", "915 salut", 0);
  const auto [result, lines] = RunLoggedPass();
  EXPECT_EQ(result, kPassDone);
  const std::vector<std::string> steps = {"Init PostasThreadFunc",
                                          "Fisiere FF     1",
                                          "init conectare postas",
                                          "Init CS     0",
                                          "Send ok :" + (Out() / "req.dat").string(),
                                          "inchide conexiune ....",
                                          "Exit thread func"};
  auto at = lines.begin();
  for (const std::string& step : steps) {
    at = std::find(at, lines.end(), step);
    EXPECT_NE(at, lines.end()) << "missing or out of order: " << step;
  }
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.starts_with("Set timer"); }));
}

}  // namespace
}  // namespace velmora::postman::testing
