#pragma once
// Misbehaviour on request, so that clients can be tested against a server
// that refuses, stalls, cuts off or lies about lengths. The plan turns one
// answer payload into what actually goes on the wire.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::server {

// Which answers the delay, drop, short-announce, never-answer and mark
// switches touch. The refusal only ever touches qualification answers.
enum class FaultScope {
  kAll,            // every answer
  kQualification,  // only answers to "000"
  kRequests,       // every answer except those to "000"
};

struct FaultSwitches {
  bool refuse_qualification = false;  // "000" answered "NO" instead of "OK"
  bool mark_answers = false;          // payload preceded by "**1"
  unsigned delay_ms = 0;              // wait before answering
  std::optional<std::size_t>
      drop_after;  // frames longer than this are cut there, then the connection closes
  std::size_t short_announce = 0;  // length field this many bytes below the truth
  bool never_answer = false;       // read the request, answer nothing, keep the connection
  FaultScope scope = FaultScope::kAll;
  std::optional<unsigned> limit;  // faults only on the first N answers they touch
};

// The answer to the qualification when the client is accepted, and when not.
inline constexpr std::string_view kQualificationAccepted = "OK";
inline constexpr std::string_view kQualificationRefused = "NO";
inline constexpr std::string_view kAnswerMark = "**1";

struct WirePlan {
  bool never = false;               // send nothing at all
  unsigned delay_ms = 0;            // wait this long first
  std::string frame;                // the frame bytes, length field as announced
  std::size_t write_bytes = 0;      // how many of them to write
  bool close_after = false;         // close the connection once written
  bool honest = true;               // the client gets the whole, truthful answer
  std::vector<std::string> faults;  // names of the faults applied, for the log
};

class FaultPlan {
 public:
  explicit FaultPlan(FaultSwitches switches) : switches_(switches) {}

  // Plans the answer `payload` to a qualification (true) or any other request.
  WirePlan Plan(std::string_view payload, bool qualification);

  const FaultSwitches& switches() const { return switches_; }

 private:
  FaultSwitches switches_;
  unsigned used_ = 0;  // answers touched so far, against the limit
};

}  // namespace velmora::server
