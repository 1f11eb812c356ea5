#include "server/fault_plan.h"

#include <algorithm>
#include <cstdint>

#include "server/frame_codec.h"

namespace velmora::server {

WirePlan FaultPlan::Plan(std::string_view payload, bool qualification) {
  WirePlan plan;
  const bool within_limit = !switches_.limit || used_ < *switches_.limit;
  const bool in_scope = switches_.scope == FaultScope::kAll ||
                        (switches_.scope == FaultScope::kQualification) == qualification;
  const bool faulty = within_limit && in_scope;

  std::string body(payload);
  if (qualification && within_limit && switches_.refuse_qualification) {
    body = kQualificationRefused;
    plan.faults.push_back("refused");
  }
  if (faulty && switches_.mark_answers) {
    body.insert(0, kAnswerMark);
    plan.faults.push_back("marked");
  }

  const auto true_length = static_cast<std::int64_t>(kFrameHeaderSize + body.size());
  if (faulty && switches_.short_announce > 0) {
    const std::int64_t announced = std::max<std::int64_t>(
        0, true_length - static_cast<std::int64_t>(switches_.short_announce));
    plan.frame = EncodeFrameAnnouncing(body, static_cast<std::int32_t>(announced));
    plan.faults.push_back("short-announce");
  } else {
    plan.frame = EncodeFrame(body);
  }
  plan.write_bytes = plan.frame.size();

  if (faulty && switches_.delay_ms > 0) {
    plan.delay_ms = switches_.delay_ms;
    plan.faults.push_back("delayed");
  }
  if (faulty && switches_.drop_after && plan.frame.size() > *switches_.drop_after) {
    plan.write_bytes = *switches_.drop_after;
    plan.close_after = true;
    plan.faults.push_back("dropped");
  }
  if (faulty && switches_.never_answer) {
    plan.never = true;
    plan.write_bytes = 0;
    plan.faults.push_back("never-answered");
  }

  if (!plan.faults.empty()) ++used_;
  // A delay or a mark still hands the client everything the server meant to say.
  plan.honest = std::none_of(plan.faults.begin(), plan.faults.end(), [](const std::string& f) {
    return f == "refused" || f == "short-announce" || f == "dropped" || f == "never-answered";
  });
  return plan;
}

}  // namespace velmora::server
