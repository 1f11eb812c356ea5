// What goes on the wire for each fault switch. Expected frames are spelled
// out byte by byte here rather than built with the codec under test.
#include "server/fault_plan.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::server {
namespace {

using namespace std::string_literals;

// Switches with one member set.
template <typename Member, typename Value>
FaultSwitches With(Member FaultSwitches::*member, Value value) {
  FaultSwitches s;
  s.*member = value;
  return s;
}
const FaultSwitches kRefuse = With(&FaultSwitches::refuse_qualification, true);
const FaultSwitches kMark = With(&FaultSwitches::mark_answers, true);
const FaultSwitches kShortBy10 = With(&FaultSwitches::short_announce, std::size_t{10});
const FaultSwitches kDropAfter6 = With(&FaultSwitches::drop_after, std::optional<std::size_t>(6));
const FaultSwitches kDelay250 = With(&FaultSwitches::delay_ms, 250u);
const FaultSwitches kNever = With(&FaultSwitches::never_answer, true);

TEST(FaultPlan, EachSwitchOnOneAnswer) {
  struct Case {
    const char* what;
    FaultSwitches switches;
    std::string payload;
    bool qualification;
    std::string frame;
    std::size_t writeBytes;
    bool closeAfter, never;
    unsigned delayMs;
    bool honest, touched;
  } cases[] = {
      {"no switches: the truth",
       {},
       "OK",
       true,
       "\x06\x00\x00\x00OK"s,
       6,
       false,
       false,
       0,
       true,
       false},
      {"refusal of the qualification", kRefuse, "OK", true, "\x06\x00\x00\x00NO"s, 6, false, false,
       0, false, true},
      {"refusal leaves other answers alone", kRefuse, "news", false, "\x08\x00\x00\x00news"s, 8,
       false, false, 0, true, false},
      // The marked qualification answer no longer begins with "OK": the client
      // takes it as not accepted.
      {"marked qualification", kMark, "OK", true, "\x09\x00\x00\x00**1OK"s, 9, false, false, 0,
       true, true},
      {"marked empty answer", kMark, "", false, "\x07\x00\x00\x00**1"s, 7, false, false, 0, true,
       true},
      {"short announce: 24 bytes announced as 14", kShortBy10, std::string(20, 'x'), false,
       "\x0E\x00\x00\x00"s + std::string(20, 'x'), 24, false, false, 0, false, true},
      {"short announce never below zero", kShortBy10, "OK", true, "\x00\x00\x00\x00OK"s, 6, false,
       false, 0, false, true},
      {"drop after 6: a 6-byte frame goes out whole", kDropAfter6, "OK", true,
       "\x06\x00\x00\x00OK"s, 6, false, false, 0, true, false},
      {"drop after 6: an 11-byte frame is cut", kDropAfter6, "hotnews", false,
       "\x0B\x00\x00\x00hotnews"s, 6, true, false, 0, false, true},
      {"delay", kDelay250, "x", false, "\x05\x00\x00\x00x"s, 5, false, false, 250, true, true},
      {"never answer", kNever, "x", false, "\x05\x00\x00\x00x"s, 0, false, true, 0, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FaultPlan plan(c.switches);
    const WirePlan w = plan.Plan(c.payload, c.qualification);
    if (!c.never) {
      EXPECT_EQ(w.frame, c.frame);
    }
    EXPECT_EQ(w.write_bytes, c.writeBytes);
    EXPECT_EQ(w.close_after, c.closeAfter);
    EXPECT_EQ(w.never, c.never);
    EXPECT_EQ(w.delay_ms, c.delayMs);
    EXPECT_EQ(w.honest, c.honest);
    EXPECT_EQ(!w.faults.empty(), c.touched);
  }
}

TEST(FaultPlan, ScopeChoosesTheAnswersTouched) {
  struct Case {
    FaultScope scope;
    bool touches_qualification;
    bool touches_requests;
  };
  for (const Case c :
       {Case{FaultScope::kAll, true, true}, Case{FaultScope::kQualification, true, false},
        Case{FaultScope::kRequests, false, true}}) {
    FaultSwitches s;
    s.delay_ms = 100;
    s.scope = c.scope;
    FaultPlan plan(s);
    EXPECT_EQ(plan.Plan("OK", true).delay_ms > 0, c.touches_qualification);
    EXPECT_EQ(plan.Plan("data", false).delay_ms > 0, c.touches_requests);
  }
}

TEST(FaultPlan, LimitCountsTouchedAnswersOnly) {
  FaultSwitches s;
  s.refuse_qualification = true;
  s.limit = 1;
  FaultPlan plan(s);
  EXPECT_EQ(plan.Plan("data", false).frame,
            "\x08\x00\x00\x00"
            "data"s);                                             // untouched, not counted
  EXPECT_EQ(plan.Plan("OK", true).frame, "\x06\x00\x00\x00NO"s);  // first qualification refused
  EXPECT_EQ(plan.Plan("OK", true).frame, "\x06\x00\x00\x00OK"s);  // the next accepted
}

}  // namespace
}  // namespace velmora::server
