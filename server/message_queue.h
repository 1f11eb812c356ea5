#pragma once
// Messages the vendor has left for its clients, one file per message:
//
//   <messages>/<client code>/<any name>             waiting
//   <messages>/<client code>/delivered/<same name>   sent whole to the client
//
// A message file holds the answer text as the client shows it: a 20-character
// date line, then the text, lines joined by "@@". Waiting messages go out
// oldest first (last-write time, then name); names starting with '.' are
// skipped, so a message can be written under a dot name and renamed when done.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::server {

class MessageQueue {
 public:
  explicit MessageQueue(std::filesystem::path messages_dir) : dir_(std::move(messages_dir)) {}

  struct Message {
    std::filesystem::path file;
    std::string bytes;
  };

  // The waiting message files of a client, in delivery order. `client_code`
  // must be decimal digits; anything else has no messages.
  std::vector<std::filesystem::path> Waiting(std::string_view client_code) const;

  // The next message, read whole, or nothing.
  std::optional<Message> Next(std::string_view client_code) const;

  // Moves a sent message into delivered/, keeping an older delivered file of
  // the same name (the new one gets a "-1", "-2"... suffix). False when the
  // move failed and the message is still waiting.
  bool MarkDelivered(const std::filesystem::path& file) const;

 private:
  std::filesystem::path dir_;
};

}  // namespace velmora::server
