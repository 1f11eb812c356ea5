#include "postman/news_cache.h"

#include <windows.h>

#include <algorithm>

#include "common/fixed_text.h"
#include "common/win_handles.h"
#include "postman/news_rules.h"

namespace velmora::postman {
namespace {

struct NewsCache {
  std::string path;  // velmora.cfg, as start-up named it
  int64_t stamp = 0;
  std::string text = NewsCacheText({});
} g_cache;

}  // namespace

bool LoadNewsCache(const std::string& path) {
  g_cache = {.path = path};
  const AutoHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string image = NewsCacheImage(0, {});  // the empty cache, which a short file leaves in part
  const DWORD size = GetFileSize(file.get(), nullptr);
  const DWORD wanted = std::min<DWORD>(size == INVALID_FILE_SIZE ? 0 : size, kNewsCacheBytes);
  DWORD read = 0;
  ReadFile(file.get(), image.data(), wanted, &read, nullptr);
  g_cache.stamp = NewsCacheStamp(image);
  g_cache.text = image.substr(8);
  std::replace(g_cache.text.begin(), g_cache.text.end(), '\0', ' ');
  return true;
}

bool NewsCacheNeedsFetch() {
  return NewsCacheIsStale(LocalFileTimeNow(), g_cache.stamp, g_cache.text);
}

std::string CachedNewsAnswer() { return std::string(TrimTrailingBlanks(g_cache.text)); }

void StoreNewsCache(std::string_view answer) {
  g_cache.text = NewsCacheText(answer);
  const AutoHandle file(CreateFileA(g_cache.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  g_cache.stamp = LocalFileTimeNow();
  const std::string image = NewsCacheImage(g_cache.stamp, g_cache.text);
  DWORD written = 0;
  WriteFile(file.get(), image.data(), static_cast<DWORD>(image.size()), &written, nullptr);
}

int64_t LocalFileTimeNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME stamp{};
  SystemTimeToFileTime(&now, &stamp);
  return static_cast<int64_t>((static_cast<uint64_t>(stamp.dwHighDateTime) << 32) |
                              stamp.dwLowDateTime);
}

}  // namespace velmora::postman
