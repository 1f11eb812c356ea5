// The link on real sockets on 127.0.0.1: connect and qualify, exchanges and
// their result codes, answers in parts, overruns, downloads and uploads.

#include <gtest/gtest.h>

#include <cstring>

#include "link/link_api.h"
#include "link/link_constants.h"
#include "link/link_testing.h"
#include "link/link_wait.h"
#include "support/link_fixture.h"
#include "support/loopback_peer.h"

namespace velmora::link::testing {
namespace {

using namespace std::string_literals;

class LinkExchange : public LinkTest {
 protected:
  int16_t Connect(LoopbackPeer& peer, std::optional<int32_t> code = 12345) {
    UsePeer(peer);
    return INITCONECTARELASERVER(dialog_, instance_, code);
  }
};

TEST_F(LinkExchange, QualificationLineAndFrame) {
  std::string payload;  // framed by the link: the peer reads it by its length field
  LoopbackPeer peer([&](PeerConnection& c) {
    auto q = c.ReadFrame();
    if (!q) return;
    payload = *q;
    c.Answer("OK");
    c.WaitForClose();
  });
  ASSERT_EQ(Connect(peer), 0);
  EXPECT_TRUE(Qualified());
  // "000 ", code in 10, blank, program name, ".exe (", information, ")".
  EXPECT_EQ(payload.substr(0, 15), "000 12345      ");
  EXPECT_EQ(payload.substr(15, 19), "link_exchange_test.");
  EXPECT_NE(payload.find(".exe ("), std::string::npos);
  EXPECT_EQ(payload.back(), ')');
  EXPECT_EQ(ClientCodeText(), "12345     ");
  EXPECT_TRUE(boxes_.empty());
  // A second open on a qualified link returns at once.
  EXPECT_EQ(INITCONECTARELASERVER(dialog_, instance_, 12345), 0);
  EXPECT_EQ(peer.connections(), 1);
}

TEST_F(LinkExchange, AnswersTheirLengthsAndMarks) {
  const struct {
    const char* request;  // as the peer should receive it: without the trailing blanks
    std::string answer;
    int32_t capacity;
    int32_t result;
    bool marked;
  } cases[] = {
      {"903 hotnews.txt", "**1 news <EURO>4.9</EURO>", 100, 25, true},
      {"903 plain", "*1 plain", 16, 8, false},   // an unmarked answer clears the mark
      {"903 empty.txt", "", 8, 0, false},        // a 4-byte frame: nothing copied
      {"903 long", "0123456789", 8, -4, false},  // beyond the capacity: nothing copied
  };
  LoopbackPeer peer([&cases](PeerConnection& c) {
    if (!AcceptQualification(c)) return;
    while (auto r = c.ReadFrame()) {
      LoopbackPeer::current_->Record(*r);
      for (const auto& k : cases)
        if (*r == k.request) c.Answer(k.answer);
    }
  });
  ASSERT_EQ(Connect(peer), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    std::string buffer(static_cast<std::size_t>(c.capacity), 'z');
    EXPECT_EQ(GETRASPUNSCALIFICARE(c.request + std::string(30, ' '), buffer.data(), c.capacity),
              c.result);
    const std::string copied = c.result >= 0 ? c.answer : "";
    EXPECT_EQ(buffer, copied + std::string(buffer.size() - copied.size(), 'z'));
    EXPECT_EQ(IsAnswerMarked(), c.marked);
    EXPECT_EQ(peer.requests().back(), c.request);
  }
  const auto frame = ReceivedFrame();
  EXPECT_EQ(std::string(frame.data(), frame.size()), Frame("0123456789"));
  // The other entry point, with its length given.
  char answer[100];
  EXPECT_EQ(COMUNICACUSERVER("903 hotnews.txt", 15, answer, sizeof answer), 25);
  EXPECT_TRUE(IsAnswerMarked());
  // An empty download saves no file.
  const std::string target = dir_ / "empty.txt";
  EXPECT_EQ(DOWNLOADFISIERDEPESERVER("empty.txt", target, 903), -1);
  EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(LinkExchange, AnswerInManySmallParts) {
  const std::string payload(3000, 'p');
  LoopbackPeer peer([&](PeerConnection& c) {
    if (!AcceptQualification(c)) return;
    if (!c.ReadFrame()) return;
    const std::string frame = Frame(payload);
    // Header split in two, then pieces every 150 ms.
    for (std::size_t at = 0; at < frame.size();) {
      const std::size_t n = at == 0 ? 2 : std::min<std::size_t>(700, frame.size() - at);
      c.Send(frame.substr(at, n));
      at += n;
      Sleep(150);
    }
    c.WaitForClose();
  });
  ASSERT_EQ(Connect(peer), 0);
  std::string answer(4000, '\0');
  ASSERT_EQ(GETRASPUNSCALIFICARE("903 big", answer.data(), 4000), 3000);
  EXPECT_EQ(answer.substr(0, 3000), payload);
  EXPECT_EQ(Counters().answerRemaining, 0);
}

TEST_F(LinkExchange, Download3021SendsCode302AndSavesTheFile) {
  LoopbackPeer peer(AnswerEverything("picture bytes\x01\x02"s));
  ASSERT_EQ(Connect(peer), 0);
  const std::string target = dir_ / "slide.jpg";
  EXPECT_EQ(DOWNLOADFISIERDEPESERVER("pics/slide.jpg" + std::string(40, ' '),
                                     target + std::string(20, ' '), 3021),
            15);
  EXPECT_EQ(peer.requests().back(), "302 pics/slide.jpg");
  EXPECT_EQ(velmora::testing::ReadFileBytes(target), "picture bytes\x01\x02"s);
  for (const auto& [type, code] :
       {std::pair{301, "301 "}, {303, "303 "}, {302, "302 "}, {77, "903 "}}) {
    DOWNLOADFISIERDEPESERVER("f", target, static_cast<int16_t>(type));
    EXPECT_EQ(peer.requests().back(), std::string(code) + "f");
  }
}

TEST_F(LinkExchange, UploadIsCodeClientCodeThenTheBytes) {
  LoopbackPeer peer(AnswerEverything("stored"));
  ASSERT_EQ(Connect(peer, 77), 0);
  velmora::testing::WriteFileBytes(dir_ / "up.dat", "915 hello\x00z"s);
  EXPECT_EQ(SENDFISIERTOSERVER((dir_ / "up.dat").c_str()), 0);
  EXPECT_EQ(peer.requests().back(), "901 77        915 hello\x00z"s);
  velmora::testing::WriteFileBytes(dir_ / "empty.dat", "");
  EXPECT_EQ(SENDFISIERTOSERVER((dir_ / "empty.dat").c_str()), -2);
  EXPECT_EQ(SENDFISIERTOSERVER((dir_ / "missing.dat").c_str()), -1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Eroare deschidere fisier()");
  EXPECT_EQ(boxes_[0].caption, "Quillon");
  EXPECT_EQ(boxes_[0].owner, nullptr);
  SETNETLIBSILENTMODE(1);
  EXPECT_EQ(SENDFISIERTOSERVER((dir_ / "missing.dat").c_str()), -1);
  EXPECT_EQ(boxes_.size(), 1u);  // quiet: no box
}

TEST_F(LinkExchange, QualificationWithoutOkReconnectsAtTheSameAddress) {
  LoopbackPeer peer([](PeerConnection& c) {
    auto q = c.ReadFrame();
    if (!q) return;
    LoopbackPeer::current_->Record(*q);
    c.Answer(c.index() == 1 ? "NO" : "OK");
    c.WaitForClose();
  });
  ASSERT_EQ(Connect(peer), 0);
  EXPECT_TRUE(Qualified());
  EXPECT_GE(peer.connections(), 2);
  for (const auto& r : peer.requests()) EXPECT_EQ(r.substr(0, 4), "000 ");
  EXPECT_EQ(CurrentAddressText().substr(0, 9), "127.0.0.1");
}

TEST_F(LinkExchange, OverrunFailsAndTheNextExchangeReconnectsFirst) {
  LoopbackPeer peer([](PeerConnection& c) {
    if (!AcceptQualification(c)) return;
    while (auto r = c.ReadFrame()) {
      LoopbackPeer::current_->Record(*r);
      if (c.index() == 1) {
        std::string frame = Frame("0123456789");
        frame[0] = 8;  // announces 8 bytes, sends 14
        c.Send(frame);
      } else {
        c.Answer("fine");
      }
    }
  });
  ASSERT_EQ(Connect(peer), 0);
  char answer[32];
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 a", answer, sizeof answer), -1);
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 b", answer, sizeof answer), 4);
  EXPECT_EQ(std::string(answer, 4), "fine");
  EXPECT_EQ(peer.connections(), 2);
}

TEST_F(LinkExchange, OutcomesLeftFromAnEarlierExchangeAreIgnored) {
  LoopbackPeer peer([](PeerConnection& c) {
    if (!AcceptQualification(c)) return;
    for (int n = 1; c.ReadFrame(); ++n) {
      if (n == 2) Sleep(300);
      c.Answer(n == 1 ? "first" : "second");
    }
  });
  ASSERT_EQ(Connect(peer), 0);
  char answer[16];
  ASSERT_EQ(GETRASPUNSCALIFICARE("903 a", answer, sizeof answer), 5);
  // As late notifications of the exchange that has just ended would arrive.
  const WPARAM earlier = CurrentOperationTag();
  for (UINT message : {kMsgAnswer, kMsgAbort, kMsgOverrun, kMsgTimeout})
    PostMessageA(LinkWindow(), message, earlier, 0);
  ASSERT_EQ(GETRASPUNSCALIFICARE("903 b", answer, sizeof answer), 6);
  EXPECT_EQ(std::string(answer, 6), "second");
  EXPECT_EQ(peer.connections(), 1);
}

// A cut answer fails the exchange at once; the next request goes out on a
// new connection, qualified first, and not on the stale one.
TEST_F(LinkExchange, ServerDroppingMidAnswerFailsQuickly) {
  LoopbackPeer peer([](PeerConnection& c) {
    while (auto r = c.ReadFrame()) {
      LoopbackPeer::current_->Record(std::to_string(c.index()) + " " + r->substr(0, 8));
      if (r->starts_with("000 ")) {
        c.Answer("OK");
      } else if (c.index() == 1) {
        c.Send(Frame(std::string(100, 'd')).substr(0, 50));
        return;  // closes the connection
      } else {
        c.Answer("mesaj");
      }
    }
  });
  ASSERT_EQ(Connect(peer), 0);
  SETNETLIBSILENTMODE(1);
  char answer[200];
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 hotnews.txt", answer, sizeof answer), -1);
  EXPECT_EQ(GETRASPUNSCALIFICARE("918 12345", answer, sizeof answer), 5);
  EXPECT_EQ(peer.requests(),
            (std::vector<std::string>{"1 000 1234", "1 903 hotn", "2 000 1234", "2 918 1234"}));
}

// Two stops from outside the link: the first ends a request, the second the
// reconnect that the next request waits for. Neither leaves its answer
// pending: the third request is told the link is not qualified (-3) and asks
// for a new connection, instead of being refused as a second request (-2).
TEST_F(LinkExchange, AStoppedReconnectLeavesNoAnswerPending) {
  LoopbackPeer peer([](PeerConnection& c) {
    if (!AcceptQualification(c)) return;
    while (auto r = c.ReadFrame())
      if (c.index() > 1) c.Answer("x");  // the first connection never answers
  });
  ASSERT_EQ(Connect(peer), 0);
  SETNETLIBSILENTMODE(1);
  RunLater(200, [this] {
    for (int i = 0; i < 2; ++i) PostMessageA(dialog_, kMsgAbort, 0, 0);
  });
  char answer[8];
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 a", answer, 8), -1);
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 b", answer, 8), -1);
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 c", answer, 8), -3);
  for (int i = 0; i < 250 && !Qualified(); ++i)
    Pump(20);  // the reconnect runs from this thread's loop
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 d", answer, 8), 1);  // on a new connection
}

TEST_F(LinkExchange, RefusedRequests) {
  char answer[8];
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 x", answer, 8), -5);  // no link window
  LoopbackPeer peer(AnswerEverything("a"));
  ASSERT_EQ(Connect(peer), 0);
  EXPECT_EQ(COMUNICACUSERVER("x", static_cast<int32_t>(kTransferBufferSize), answer, 8), -5);
  // The refused request left nothing pending.
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 x", answer, 8), 1);
  INCHIDECONEXIUNELASERVER();
  EXPECT_EQ(GETRASPUNSCALIFICARE("903 x", answer, 8), -3);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Eroare de conectare !");
  EXPECT_EQ(boxes_[0].caption, "Corvane");
  EXPECT_EQ(boxes_[0].owner, dialog_);
  EXPECT_EQ(boxes_[0].style, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(LinkExchange, PostmanStyleSendOfAWholeFile) {
  LoopbackPeer peer(AnswerEverything("ok"));
  ASSERT_EQ(Connect(peer), 0);
  std::string file = "915 " + std::string(4321, 'm');
  EXPECT_EQ(SENDBUFFERTOSERVER(file.data(), static_cast<int32_t>(file.size())), 0);
  EXPECT_EQ(peer.requests().back(), file);
  EXPECT_EQ(Counters().sendRemaining, 0);
  EXPECT_EQ(Counters().sendTotal, 4329);
}

TEST_F(LinkExchange, BuffersReadAsZeroAfterEachExchange) {
  // A long answer then a short one: beyond the short answer the receive
  // buffer holds zeros again, as if it had been cleared in full.
  LoopbackPeer peer([](PeerConnection& c) {
    if (!AcceptQualification(c)) return;
    int n = 0;
    while (auto r = c.ReadFrame()) c.Answer(++n == 1 ? std::string(5000, 'L') : "s");
  });
  ASSERT_EQ(Connect(peer), 0);
  std::string answer(6000, '\0');
  ASSERT_EQ(GETRASPUNSCALIFICARE("903 long", answer.data(), 6000), 5000);
  ASSERT_EQ(GETRASPUNSCALIFICARE("903 short", answer.data(), 6000), 1);
  const auto whole = WholeReceiveBuffer();
  ASSERT_EQ(whole.size(), kTransferBufferSize);
  EXPECT_EQ(whole[4], 's');
  EXPECT_TRUE(
      std::all_of(whole.begin() + 5, whole.begin() + 6000, [](char ch) { return ch == 0; }));
}

std::vector<std::string>& LogLines() {
  static std::vector<std::string> lines;
  return lines;
}

TEST_F(LinkExchange, ConnectWritesItsLogLines) {
  LogLines().clear();
  SetLinkLogWriter(
      [](std::string_view line) { LogLines().emplace_back(line.substr(12)); });  // without the time
  SETLUNSTARWNDLOG(5);
  LoopbackPeer peer(AnswerEverything("x"));
  ASSERT_EQ(Connect(peer), 0);
  const std::vector<std::string> expected{
      " - InitCS - 1",      " - InitCS - 4",
      " - InitCS - 6",      " - InitCS - 8",
      " - InitCS - 9",      " - InitCS - 11",
      " - InitCS - 12",     " - WM_REC - 1",
      " - WM_REC - 2",      " - Init socket ..... ",
      " - Init socket ok ", " - Init WSAA ..... (127.0.0.1" + std::string(16, ' ') + ")",
      " - Init WSAA ok"};
  EXPECT_EQ(LogLines(), expected);
}

}  // namespace
}  // namespace velmora::link::testing
