#include "server/request_handler.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "common/fixed_text.h"
#include "server/fault_plan.h"
#include "server/frame_codec.h"
#include "server/request.h"
#include "server/safe_path.h"

namespace velmora::server {

namespace fs = std::filesystem;

namespace {

bool IsFileRequest(std::string_view code) {
  return code == "903" || code == "301" || code == "302" || code == "303";
}

// Reads a whole file, or nothing when it cannot be read or exceeds `limit`.
std::optional<std::string> ReadWholeFile(const fs::path& file, std::size_t limit, bool& too_big) {
  too_big = false;
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  if (ec) return std::nullopt;
  if (size > limit) {
    too_big = true;
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes.size())) return std::nullopt;
  return bytes;
}

}  // namespace

RequestHandler::RequestHandler(const fs::path& root, const fs::path& data)
    : root_(fs::canonical(root)), messages_(data / "messages"), store_(data / "received") {}

Answer RequestHandler::Handle(std::string_view payload, SessionState& session,
                              std::chrono::system_clock::time_point now) {
  const auto request = ParseRequest(payload);
  if (!request) {
    return {"???", {}, "bad-request", PrintableForLog(payload, 40), false, std::nullopt};
  }
  const std::string_view code = request->code;

  if (code == "000") {
    const Qualification q = ParseQualification(request->body);
    session.client_code = q.client_code;
    session.qualified = true;
    std::string detail = "client=" + (q.client_code.empty() ? std::string("?") : q.client_code) +
                         " info=\"" + PrintableForLog(q.identity) + "\"";
    return {std::string(code), std::string(kQualificationAccepted), "ok", std::move(detail), true,
            std::nullopt};
  }
  if (IsFileRequest(code)) return ServeFile(code, request->body);
  if (code == "918") return NextMessage(request->body, session);
  return StoreRequest(payload, code, request->body, session, now);
}

Answer RequestHandler::ServeFile(std::string_view code, std::string_view name) {
  Answer a{std::string(code), {}, {}, PrintableForLog(name), false, std::nullopt};
  const Resolved resolved = ResolveUnderRoot(root_, name);
  if (!resolved.file) {
    a.result = resolved.rejected ? "rejected" : "not-found";
    if (resolved.rejected) a.detail += " (" + resolved.problem + ")";
    return a;
  }
  bool too_big = false;
  auto bytes = ReadWholeFile(*resolved.file, kMaxAnswerPayload, too_big);
  if (!bytes) {
    a.result = too_big ? "too-large" : "unreadable";
    return a;
  }
  a.payload = std::move(*bytes);
  a.result = "ok";
  return a;
}

Answer RequestHandler::NextMessage(std::string_view body, const SessionState& session) {
  // The connection's own client code decides; the code in the request body
  // only stands in when the client never qualified.
  std::string client = session.client_code;
  if (client.empty()) client = ClientCodeFromText(body);
  Answer a{"918", {},          {}, "client=" + (client.empty() ? std::string("?") : client),
           false, std::nullopt};
  const std::string asked = ClientCodeFromText(body);
  if (!asked.empty() && asked != client) a.detail += " asked=" + asked;
  auto message = client.empty() ? std::nullopt : messages_.Next(client);
  if (!message) {
    a.result = "no-message";
    return a;
  }
  if (message->bytes.size() > kMaxAnswerPayload) message->bytes.resize(kMaxAnswerPayload);
  a.payload = std::move(message->bytes);
  a.result = "ok";
  a.detail += " message=" + PrintableForLog(message->file.filename().string());
  a.message = std::move(message->file);
  return a;
}

Answer RequestHandler::StoreRequest(std::string_view payload, std::string_view code,
                                    std::string_view body, const SessionState& session,
                                    std::chrono::system_clock::time_point now) {
  std::string client = session.client_code;
  // An upload names its client in its first 10 bytes.
  if (client.empty() && code == "901")
    client = ClientCodeFromText(body.substr(0, std::min<std::size_t>(body.size(), 10)));
  Answer a{std::string(code), {}, {}, {}, false, std::nullopt};
  if (const auto stored = store_.Store(payload, code, client, now)) {
    a.payload = std::string(kQualificationAccepted);
    a.result = "stored";
    a.detail = "file=" + PrintableForLog(stored->filename().string());
  } else {
    // Not kept, so not acknowledged: the client takes any answer as a receipt,
    // so hanging up is the only way to make it keep the file for a later pass.
    a.result = "store-failed";
    a.hang_up = true;
  }
  return a;
}

bool RequestHandler::Delivered(const Answer& answer) const {
  return answer.message && messages_.MarkDelivered(*answer.message);
}

}  // namespace velmora::server
