#include "server/message_queue.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "server/request.h"

namespace velmora::server {

namespace fs = std::filesystem;

std::vector<fs::path> MessageQueue::Waiting(std::string_view client_code) const {
  std::vector<fs::path> files;
  if (ClientCodeFromText(client_code) != client_code) return files;
  std::error_code ec;
  struct Entry {
    fs::file_time_type time;
    fs::path path;
  };
  std::vector<Entry> entries;
  for (fs::directory_iterator it(dir_ / std::string(client_code), ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code file_ec;
    if (!it->is_regular_file(file_ec)) continue;
    const auto time = it->last_write_time(file_ec);
    if (file_ec) continue;
    entries.push_back({time, it->path()});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.time != b.time ? a.time < b.time : a.path.filename() < b.path.filename();
  });
  for (auto& e : entries) files.push_back(std::move(e.path));
  return files;
}

std::optional<MessageQueue::Message> MessageQueue::Next(std::string_view client_code) const {
  for (const fs::path& file : Waiting(client_code)) {
    std::ifstream in(file, std::ios::binary);
    if (!in) continue;  // taken away meanwhile; try the next one
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return Message{file, std::move(bytes)};
  }
  return std::nullopt;
}

bool MessageQueue::MarkDelivered(const fs::path& file) const {
  std::error_code ec;
  const fs::path delivered = file.parent_path() / "delivered";
  fs::create_directories(delivered, ec);
  const std::string stem = file.stem().string();
  const std::string extension = file.extension().string();
  fs::path target = delivered / file.filename();
  for (int n = 1; fs::exists(target, ec) && n < 10000; ++n)
    target = delivered / (stem + "-" + std::to_string(n) + extension);
  fs::rename(file, target, ec);
  return !ec;
}

}  // namespace velmora::server
