// libFuzzer target: what the reference server reads from a client. The input
// is fed to the frame decoder in pieces (sizes taken from the input), and
// every frame it yields goes through the request split, the qualification
// reader and the name check. A name the check accepts must never lead out of
// the served root.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "server/frame_codec.h"
#include "server/request.h"
#include "server/safe_path.h"

namespace {

using namespace velmora::server;

void Check(bool condition) {
  if (!condition) std::abort();
}

void Examine(const std::string& payload) {
  const auto request = ParseRequest(payload);
  if (!request) return;
  Check(request->code.size() == 3);
  const Qualification q = ParseQualification(request->body);
  Check(q.client_code.size() <= 10);
  for (char c : q.client_code) Check(c >= '0' && c <= '9');
  Check(PrintableForLog(request->body).size() <= 300 + 3);
  const NameCheck name = CheckRequestedName(request->body);
  if (name.relative) {
    Check(!name.relative->is_absolute());
    for (const auto& part : *name.relative) Check(part != ".." && part != ".");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FrameDecoder decoder(1 << 16);
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t at = 0;
  std::string payload;
  while (at < size) {
    const std::size_t piece = 1 + static_cast<uint8_t>(input[at]) % 97;
    decoder.Feed(input.substr(at + 1, piece));
    at += 1 + piece;
    for (;;) {
      const FrameDecoder::Status status = decoder.Next(payload);
      if (status == FrameDecoder::Status::kFrame) {
        Examine(payload);
        continue;
      }
      if (status == FrameDecoder::Status::kBadLength) return 0;
      break;
    }
  }
  return 0;
}
