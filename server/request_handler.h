#pragma once
// What the server answers, request by request, with no socket in sight.
//
//   "000 "                       qualification: "OK"; the client code it carries
//                                becomes the connection's client code
//   "903 ", "301 ", "302 ", "303 "  the named file of the root, whole; an empty
//                                answer when it is missing, refused or too big
//   "918 "                       the client's oldest waiting message; an empty
//                                answer when none waits
//   anything else ("901 " uploads, "915 " messages, ...)
//                                stored in the received folder, answered "OK";
//                                when it cannot be stored the connection is
//                                closed unanswered, so the client keeps the file
//   a payload without a code     an empty answer, nothing stored
//
// The empty answer (a frame of length 4) is what the client takes as "no
// file": its download routine then writes nothing and reports failure.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "server/message_queue.h"
#include "server/request_store.h"

namespace velmora::server {

// What one connection remembers between its requests.
struct SessionState {
  std::string client_code;  // from the qualification; empty until then
  bool qualified = false;
};

struct Answer {
  std::string code;     // request code for the log ("???" when there is none)
  std::string payload;  // answer payload before any fault
  std::string result;   // one word for the log: ok, stored, not-found, rejected, ...
  std::string detail;   // what was asked, for the log
  bool qualification = false;
  std::optional<std::filesystem::path> message;  // message to file as delivered once sent whole
  bool hang_up = false;                          // close the connection instead of answering
};

class RequestHandler {
 public:
  // `root` and `data` must exist; the root is taken in canonical form.
  RequestHandler(const std::filesystem::path& root, const std::filesystem::path& data);

  Answer Handle(std::string_view payload, SessionState& session,
                std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

  // Called once an answer carrying a message went out whole.
  bool Delivered(const Answer& answer) const;

  const std::filesystem::path& root() const { return root_; }

 private:
  Answer ServeFile(std::string_view code, std::string_view name);
  Answer NextMessage(std::string_view body, const SessionState& session);
  Answer StoreRequest(std::string_view payload, std::string_view code, std::string_view body,
                      const SessionState& session, std::chrono::system_clock::time_point now);

  std::filesystem::path root_;
  MessageQueue messages_;
  RequestStore store_;
};

}  // namespace velmora::server
