// Opening the link: the address list in use, connect time-outs against
// addresses that never answer, the give-up decisions, Escape, Cancel and a
// parent dialog closed during a wait, and the answer time-outs. The time-outs
// run shortened (ShortenWaits); the first test holds the program's own.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>

#include "link/link_api.h"
#include "link/link_constants.h"
#include "link/link_testing.h"
#include "support/link_fixture.h"
#include "support/loopback_peer.h"

namespace velmora::link::testing {
namespace {

using velmora::testing::TextLines;

class LinkConnect : public LinkTest {
 protected:
  // A fixed address whose connects never complete, given `connectMs` each.
  void UseAddressThatNeverAnswers(unsigned connectMs = 700) {
    ShortenWaits(700, connectMs);
    const uint16_t port = FreePort();
    hole_.emplace("127.0.0.9", port);
    ASSERT_TRUE(hole_->ok());
    SETTCPPORT(port);
    SETIPFIX("127.0.0.9");
  }
  std::optional<Blackhole> hole_;
};

void PostEscape() { PostMessageA(LinkWindow(), WM_KEYDOWN, VK_ESCAPE, 0); }

// Pumps this thread's messages until `done` holds, at most `ms`.
void PumpUntil(const std::function<bool()>& done, unsigned ms = 5000) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (!done() && static_cast<int>(end - GetTickCount()) > 0) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  }
}

// Animation frame 140 ms, connect time-out 4.5 s, parent watch 1.5 s, answer watchdog 5 s.
TEST_F(LinkConnect, TheProgramWaitsItsOwnPeriods) {
  EXPECT_EQ(Periods(), (LinkPeriods{140, 4500, 1500, 5000}));
}

TEST_F(LinkConnect, AddressListEntriesInUse) {
  const struct {
    const char* list;
    std::string address;
    std::vector<std::string> saved;
  } cases[] = {
      // Connected at entry 2: the file is rewritten with it first.
      {"\n127.0.0.1\n", "127.0.0.1" + std::string(16, ' '), {"127.0.0.1"}},
      // Entry 1 with trailing text: connected, the file not rewritten.
      {"127.0.0.1 primary\n", "127.0.0.1 prima" + std::string(10, ' '), {"127.0.0.1 primary"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    LoopbackPeer peer(AnswerEverything("x"));
    SETTCPPORT(peer.port());
    WriteList(c.list);
    ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
    EXPECT_EQ(CurrentAddressText(), c.address);
    EXPECT_EQ(TextLines(ReadList()), c.saved);
    ResetLink();
  }
}

TEST_F(LinkConnect, SevenAddressesConnectedAtTheThird) {
  LoopbackPeer peer(AnswerEverything("x"), "127.0.0.4");
  Blackhole first("127.0.0.2", peer.port());
  Blackhole second("127.0.0.3", peer.port());
  ASSERT_TRUE(first.ok() && second.ok());
  SETTCPPORT(peer.port());
  SETNETLIBSILENTMODE(1);
  ShortenWaits();
  WriteList("127.0.0.2\n127.0.0.3\n127.0.0.4\n127.0.0.5\n127.0.0.6\n127.0.0.7\n127.0.0.8\n");
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);  // two connect time-outs first
  EXPECT_EQ(TextLines(ReadList()), (std::vector<std::string>{"127.0.0.4", "127.0.0.2", "127.0.0.3",
                                                             "127.0.0.5", "127.0.0.6"}));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(LinkConnect, FixedAddressGivesUpAfterOneTimeOutAndNeverTouchesTheFile) {
  WriteList("127.0.0.1\n");
  UseAddressThatNeverAnswers();
  boxAnswer_ = IDCANCEL;
  EXPECT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), -1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, std::string(kTextConnectImpossible));
  EXPECT_EQ(boxes_[0].caption, "Corvane");
  EXPECT_EQ(boxes_[0].owner, dialog_);
  EXPECT_EQ(boxes_[0].style, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
  EXPECT_EQ(ReadList(), "127.0.0.1\n");
  // Cancel went on to the dialog's own procedure as IDCANCEL.
  EXPECT_NE(
      std::find(dialogCommands_.begin(), dialogCommands_.end(), static_cast<WPARAM>(IDCANCEL)),
      dialogCommands_.end());
}

TEST_F(LinkConnect, SilentThenZeroStillGivesUpWithoutAsking) {
  UseAddressThatNeverAnswers();
  SETNETLIBSILENTMODE(2);
  SETNETLIBSILENTMODE(0);
  EXPECT_FALSE(Quiet());
  EXPECT_TRUE(Silent());
  EXPECT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), -1);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(LinkConnect, LibraryCountZeroGoesThroughTheEmptyTableAndGivesUp) {
  // hostlane.dll beside an empty hostlane.lst in the current directory.
  ASSERT_TRUE(CopyFileA(VELMORA_HOSTLANE_DLL, (dir_ / "hostlane.dll").c_str(), FALSE));
  velmora::testing::WriteFileBytes(dir_ / "hostlane.lst", "");
  SETTCPPORT(FreePort());
  SETNETLIBSILENTMODE(2);
  ShortenWaits();
  EXPECT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), -1);
  EXPECT_FALSE(ListExists());  // nothing to save
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(LinkConnect, MissingListIsFetchedFromTheLibrary) {
  LoopbackPeer peer(AnswerEverything("x"));
  ASSERT_TRUE(CopyFileA(VELMORA_HOSTLANE_DLL, (dir_ / "hostlane.dll").c_str(), FALSE));
  velmora::testing::WriteFileBytes(dir_ / "hostlane.lst", "127.0.0.1\r\n");
  SETTCPPORT(peer.port());
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  EXPECT_EQ(TextLines(ReadList()), (std::vector<std::string>{"127.0.0.1"}));
}

// Escape, or the dialog closed (timer 5 notices it), ends the connect wait
// before the first connect time-out would have asked.
TEST_F(LinkConnect, EscapeOrAClosedParentEndTheConnectWait) {
  UseAddressThatNeverAnswers(60'000);  // the stops come first
  RunLater(300, PostEscape);
  EXPECT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), -1);
  RunLater(200, [this] { DestroyWindow(dialog_); });
  EXPECT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), -1);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(LinkConnect, EscapeAndCancelDuringTransfer) {
  LoopbackPeer peer(QualifyThenStaySilent());  // never answers
  UsePeer(peer);
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  RunLater(300, PostEscape);
  EXPECT_EQ(SENDBUFFERTOSERVER("915 x", 5), -3);
  // The dialog's Cancel during the wait aborts too and is not handed on.
  dialogCommands_.clear();
  RunLater(300, [this] { SendMessageA(dialog_, WM_COMMAND, IDCANCEL, 0); });
  char answer[8];
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 y", answer, 8), -1);
  EXPECT_TRUE(dialogCommands_.empty());
  // A stop posted to the dialog from outside the link, without its number.
  RunLater(300, [this] { PostMessageA(dialog_, kMsgAbort, 0, 0); });
  EXPECT_EQ(SENDBUFFERTOSERVER("915 w", 5), -3);
  // Outside the request routines nothing says an answer is awaited: once the
  // request is out, Cancel goes to the dialog and the wait goes on.
  SETNETLIBSILENTMODE(1);
  ShortenWaits();
  RunLater(300, [this] { SendMessageA(dialog_, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_EQ(SENDBUFFERTOSERVER("915 v", 5), -4);
  EXPECT_EQ(dialogCommands_, (std::vector<WPARAM>{IDCANCEL}));
}

TEST_F(LinkConnect, CancelOnAQualifiedIdleLinkGoesToTheDialog) {
  LoopbackPeer peer(AnswerEverything("x"));
  UsePeer(peer);
  const LONG_PTR dialogProcedure = GetWindowLongPtrA(dialog_, GWLP_WNDPROC);
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  EXPECT_NE(GetWindowLongPtrA(dialog_, GWLP_WNDPROC), dialogProcedure);  // subclassed while linked
  char answer[8];
  ASSERT_EQ(GETRASPUNSCALIFICARE("903 y", answer, 8), 1);
  SendMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(dialogCommands_, (std::vector<WPARAM>{IDCANCEL}));
  INCHIDECONECTARELASERVER();
  // The dialog has its own procedure back.
  EXPECT_EQ(GetWindowLongPtrA(dialog_, GWLP_WNDPROC), dialogProcedure);
}

TEST_F(LinkConnect, SilentAnswerTimeOutEndsTheExchangeNotTheProcess) {
  std::atomic<bool> answer{false};
  LoopbackPeer peer([&](PeerConnection& c) {
    if (!AcceptQualification(c)) return;
    while (auto r = c.ReadFrame()) {
      LoopbackPeer::current_->Record(*r);
      if (answer) c.Answer("late but here");
    }
  });
  UsePeer(peer);
  SETNETLIBSILENTMODE(2);
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  ShortenWaits();
  char text[32];
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 slow", text, sizeof text),
            -1);  // one to two periods, then given up
  EXPECT_TRUE(boxes_.empty());
  // Still alive; the next exchange reopens the connection and works.
  answer = true;
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 again", text, sizeof text), 13);
  EXPECT_EQ(std::string(text, 13), "late but here");
  EXPECT_EQ(peer.connections(), 2);
}

TEST_F(LinkConnect, QuietAnswerTimeOutRetriesWithoutAsking) {
  LoopbackPeer peer(QualifyThenStaySilent());
  UsePeer(peer);
  SETNETLIBSILENTMODE(1);
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  ShortenWaits();
  const DWORD start = GetTickCount();
  EXPECT_EQ(SENDBUFFERTOSERVER("915 z", 5), -4);
  EXPECT_GE(GetTickCount() - start, Periods().answerMs);  // never before a whole silent period
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(LinkConnect, AnswerTricklingWithinThePeriodIsNoTimeOut) {
  ShortenWaits(1500);
  const unsigned period = Periods().answerMs;
  LoopbackPeer peer([period](PeerConnection& c) {
    if (!AcceptQualification(c)) return;
    if (!c.ReadFrame()) return;
    // Four parts, each within a period of the last, all together longer
    // than the two periods a silent server gets.
    const std::string frame = Frame(std::string(30, 't'));
    for (std::size_t at = 0; at < frame.size(); at += 9) {
      if (at > 0) Sleep(period * 7 / 10);
      c.Send(frame.substr(at, 9));
    }
    c.WaitForClose();
  });
  SETTCPPORT(peer.port());
  SETIPFIX("127.0.0.1");
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  char answer[40];
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 slow", answer, sizeof answer), 30);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(LinkConnect, RefusalDuringAReconnectNobodyWaitsForIsStillAsked) {
  LoopbackPeer peer([](PeerConnection& c) {
    if (c.index() > 1) return;  // later connections are closed at once
    if (!AcceptQualification(c)) return;
    if (!c.ReadFrame()) return;
    std::string frame = Frame("0123456789");
    frame[0] = 8;  // an overrun: the exchange fails and asks for a new connection
    c.Send(frame);
    c.WaitForClose();
  });
  SETTCPPORT(peer.port());
  SETIPFIX("127.0.0.1");
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  char answer[16];
  ASSERT_EQ(GETRASPUNSCALIFICARE("903 a", answer, sizeof answer), -1);
  boxAnswer_ = IDCANCEL;
  PumpUntil([this] { return !boxes_.empty(); });  // the reconnect runs from this thread's own loop
  Pump(300);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, std::string(kTextServerRefused));
  EXPECT_EQ(boxes_[0].caption, "Vantor");
  EXPECT_EQ(boxes_[0].owner, dialog_);
  EXPECT_EQ(peer.connections(), 2);  // Cancel: no further attempt
}

TEST_F(LinkConnect, AnswerTimeOutAsksWhenNeitherQuietNorSilent) {
  LoopbackPeer peer(QualifyThenStaySilent());
  UsePeer(peer);
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  ShortenWaits();
  boxAnswer_ = IDRETRY;
  EXPECT_EQ(SENDBUFFERTOSERVER("915 z", 5), -4);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, std::string(kTextNoAnswer));
  EXPECT_EQ(boxes_[0].caption, "Corvane");
  EXPECT_EQ(boxes_[0].style, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
}

TEST_F(LinkConnect, ServerClosingBeforeQualificationIsRefusal) {
  LoopbackPeer peer([](PeerConnection&) {});  // accepts and closes at once
  UsePeer(peer);
  boxAnswer_ = IDCANCEL;
  EXPECT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), -1);
  EXPECT_TRUE(ServerClosed());
  ASSERT_FALSE(boxes_.empty());
  EXPECT_EQ(boxes_.back().text, std::string(kTextServerRefused));
  EXPECT_EQ(boxes_.back().caption, "Vantor");
  // Quiet: the refusal ends the wait without a question.
  INCHIDECONECTARELASERVER();
  boxes_.clear();
  SETNETLIBSILENTMODE(1);
  EXPECT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), -1);
  EXPECT_TRUE(boxes_.empty());
}

// The stand-in library called directly, as the link calls it.
TEST_F(LinkConnect, HostlaneStandInAnswersItsListOrLoopback) {
  ASSERT_TRUE(CopyFileA(VELMORA_HOSTLANE_DLL, (dir_ / "hostlane.dll").c_str(), FALSE));
  auto ask = [this] {
    HMODULE dll = LoadLibraryA((dir_ / "hostlane.dll").c_str());
    using GetIpList = int(WINAPI*)(int16_t*, char*);
    const auto f = reinterpret_cast<GetIpList>(
        reinterpret_cast<void (*)()>(GetProcAddress(dll, "_GetIPList@8")));
    std::string text(85, ' ');
    int16_t count = -1;
    if (f != nullptr) f(&count, text.data());
    FreeLibrary(dll);
    return std::make_pair(count, text);
  };
  auto [count, text] = ask();
  EXPECT_EQ(count, 9);
  EXPECT_EQ(text, "127.0.0.1" + std::string(76, ' '));
  velmora::testing::WriteFileBytes(
      dir_ / "hostlane.lst",
      "127.0.0.2\r\n  127.0.0.3  \n\n127.0.0.4\n127.0.0.5\n127.0.0.6\n127.0.0.7\n");
  std::tie(count, text) = ask();
  const std::string expected = "127.0.0.2\r\n127.0.0.3\r\n127.0.0.4\r\n127.0.0.5\r\n127.0.0.6";
  EXPECT_EQ(count, static_cast<int16_t>(expected.size()));
  EXPECT_EQ(text, expected + std::string(85 - expected.size(), ' '));
}

TEST_F(LinkConnect, QuitDuringWaitsIsAFailureAndReachesTheThreadsLoop) {
  LoopbackPeer peer(QualifyThenStaySilent());
  UsePeer(peer);
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  RunLater(200, [] { PostQuitMessage(7); });
  // The answer never came: not a success, whatever ended the wait.
  EXPECT_EQ(SENDBUFFERTOSERVER("915 q", 5), -3);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  INCHIDECONECTARELASERVER();
  UseAddressThatNeverAnswers(60'000);
  RunLater(200, [] { PostQuitMessage(8); });
  EXPECT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), -1);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 8u);
}

// A stop during the qualification ends only the qualification: the connect
// dials the same address again and qualifies there. The dialog's Cancel also
// reaches the dialog's own procedure, the link not being qualified.
TEST_F(LinkConnect, AStopDuringTheQualificationDialsAgain) {
  const struct {
    const char* what;
    void (*stop)(HWND dialog);
    std::vector<WPARAM> dialogCommands;
  } cases[] = {
      {"Escape", [](HWND) { PostEscape(); }, {}},
      {"Cancel", [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }, {IDCANCEL}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetLink();
    dialogCommands_.clear();
    LoopbackPeer peer([](PeerConnection& connection) {
      if (connection.ReadFrame() && connection.index() > 1)
        connection.Answer("OK");  // the first is left waiting
      connection.WaitForClose();
    });
    UsePeer(peer);
    RunLater(300, [&] { c.stop(dialog_); });
    EXPECT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
    EXPECT_EQ(peer.connections(), 2);
    EXPECT_EQ(dialogCommands_, c.dialogCommands);
    INCHIDECONECTARELASERVER();
  }
}

std::atomic<bool> noAnswerBoxOpen{false};

// The "no answer" question as a real box would hold it: open, pumping the
// thread's messages, until the answer has come in; then Retry.
int RetryOnceTheAnswerIsIn(HWND, const char*, const char*, UINT) {
  noAnswerBoxOpen = true;
  PumpUntil([] { return Counters().answerRemaining == 0; });
  PumpUntil([] { return false; }, 100);  // and what that queued
  return IDRETRY;
}

// An answer that came while the "no answer" question was open was queued
// before the user's Retry: the exchange ends with the answer.
TEST_F(LinkConnect, AnAnswerQueuedBeforeTheRetryWins) {
  noAnswerBoxOpen = false;
  LoopbackPeer peer([](PeerConnection& c) {
    if (!AcceptQualification(c) || !c.ReadFrame()) return;
    for (int i = 0; i < 1000 && !noAnswerBoxOpen; ++i) Sleep(10);
    c.Answer("late");
    c.WaitForClose();
  });
  UsePeer(peer);
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  ShortenWaits();
  const auto recorder = velmora::SetMessageBoxHandler(&RetryOnceTheAnswerIsIn);
  char answer[8];
  const int32_t n = GETRASPUNSCALIFICARE("903 late", answer, sizeof answer);
  velmora::SetMessageBoxHandler(recorder);
  EXPECT_TRUE(noAnswerBoxOpen);
  ASSERT_EQ(n, 4);
  EXPECT_EQ(std::string(answer, 4), "late");
  EXPECT_EQ(peer.connections(), 1);
}

// A server that closes the connection right after its answer, both queued
// before the link sees either: the answer counts, and the next request goes
// out on a new connection.
TEST_F(LinkConnect, AServerClosingRightAfterItsAnswerIsReconnected) {
  std::atomic<bool> busy{false};
  LoopbackPeer peer([&](PeerConnection& c) {
    if (!AcceptQualification(c)) return;
    while (c.ReadFrame()) {
      for (int i = 0; i < 500 && !busy; ++i) Sleep(10);
      c.Answer("x");
      if (c.index() == 1) return;  // closes
    }
  });
  UsePeer(peer);
  SETNETLIBSILENTMODE(1);
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_, 1), 0);
  RunLater(200, [&] {
    busy = true;
    Sleep(300);  // while the answer and the close arrive
  });
  char answer[8];
  for (const char* request : {"903 a", "903 b"})
    EXPECT_EQ(GETRASPUNSCALIFICARE(request, answer, 8), 1) << request;
  EXPECT_EQ(peer.connections(), 2);
}

}  // namespace
}  // namespace velmora::link::testing
