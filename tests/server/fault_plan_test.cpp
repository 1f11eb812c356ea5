// What goes on the wire for each fault switch. Expected frames are spelled
// out byte by byte here rather than built with the codec under test.
#include "server/fault_plan.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::server {
namespace {

using namespace std::string_literals;

TEST(FaultPlan, NoSwitchesSendsTheTruth) {
  FaultPlan plan({});
  const WirePlan w = plan.Plan("OK", true);
  EXPECT_EQ(w.frame, "\x06\x00\x00\x00OK"s);
  EXPECT_EQ(w.write_bytes, 6u);
  EXPECT_FALSE(w.never);
  EXPECT_FALSE(w.close_after);
  EXPECT_EQ(w.delay_ms, 0u);
  EXPECT_TRUE(w.honest);
  EXPECT_TRUE(w.faults.empty());
}

TEST(FaultPlan, RefusalTouchesOnlyTheQualification) {
  FaultSwitches s;
  s.refuse_qualification = true;
  FaultPlan plan(s);
  const WirePlan q = plan.Plan("OK", true);
  EXPECT_EQ(q.frame, "\x06\x00\x00\x00NO"s);
  EXPECT_FALSE(q.honest);
  const WirePlan other = plan.Plan("news", false);
  EXPECT_EQ(other.frame, "\x08\x00\x00\x00news"s);
  EXPECT_TRUE(other.faults.empty());
}

TEST(FaultPlan, MarkedAnswersBeginWithTheMarker) {
  FaultSwitches s;
  s.mark_answers = true;
  FaultPlan plan(s);
  // The qualification answer no longer begins with "OK", so the client takes
  // it as not accepted, with its answer-marked flag set.
  EXPECT_EQ(plan.Plan("OK", true).frame, "\x09\x00\x00\x00**1OK"s);
  const WirePlan empty = plan.Plan("", false);
  EXPECT_EQ(empty.frame, "\x07\x00\x00\x00**1"s);
  EXPECT_TRUE(empty.honest);
}

TEST(FaultPlan, ShortAnnounceLiesInTheLengthFieldOnly) {
  FaultSwitches s;
  s.short_announce = 10;
  FaultPlan plan(s);
  const WirePlan w = plan.Plan(std::string(20, 'x'), false);  // truly 24 bytes
  EXPECT_EQ(w.frame.substr(0, 4), "\x0E\x00\x00\x00"s);      // announces 14
  EXPECT_EQ(w.frame.size(), 24u);
  EXPECT_EQ(w.write_bytes, 24u);
  EXPECT_FALSE(w.honest);
  // Never below zero.
  EXPECT_EQ(plan.Plan("OK", true).frame.substr(0, 4), "\x00\x00\x00\x00"s);
}

TEST(FaultPlan, DropAfterCutsOnlyLongerFrames) {
  FaultSwitches s;
  s.drop_after = 6;
  FaultPlan plan(s);
  const WirePlan small = plan.Plan("OK", true);  // 6 bytes: goes out whole
  EXPECT_EQ(small.write_bytes, 6u);
  EXPECT_FALSE(small.close_after);
  EXPECT_TRUE(small.honest);
  const WirePlan big = plan.Plan("hotnews", false);  // 11 bytes: cut at 6
  EXPECT_EQ(big.write_bytes, 6u);
  EXPECT_TRUE(big.close_after);
  EXPECT_FALSE(big.honest);
}

TEST(FaultPlan, DelayAndNeverAnswer) {
  FaultSwitches s;
  s.delay_ms = 250;
  FaultPlan delayed(s);
  const WirePlan d = delayed.Plan("x", false);
  EXPECT_EQ(d.delay_ms, 250u);
  EXPECT_TRUE(d.honest);

  FaultSwitches n;
  n.never_answer = true;
  FaultPlan never(n);
  const WirePlan w = never.Plan("x", false);
  EXPECT_TRUE(w.never);
  EXPECT_EQ(w.write_bytes, 0u);
  EXPECT_FALSE(w.honest);
}

TEST(FaultPlan, ScopeChoosesTheAnswersTouched) {
  struct Case {
    FaultScope scope;
    bool touches_qualification;
    bool touches_requests;
  };
  for (const Case c : {Case{FaultScope::kAll, true, true}, Case{FaultScope::kQualification, true, false},
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
  EXPECT_EQ(plan.Plan("data", false).frame, "\x08\x00\x00\x00" "data"s);  // untouched, not counted
  EXPECT_EQ(plan.Plan("OK", true).frame, "\x06\x00\x00\x00NO"s);           // first qualification refused
  EXPECT_EQ(plan.Plan("OK", true).frame, "\x06\x00\x00\x00OK"s);           // the next accepted
}

}  // namespace
}  // namespace velmora::server
