#include "postman/news_cache.h"

#include <windows.h>

#include "common/fixed_text.h"
#include "common/win_handles.h"
#include "postman/news_rules.h"
#include "postman/postman.h"

namespace velmora::postman {
namespace {

struct NewsCache {
  int64_t stamp = 0;
  std::string text = std::string(kNewsCacheTextBytes, ' ');
} g_cache;

}  // namespace

void AdoptNewsCache(std::string_view image) {
  g_cache.stamp = NewsCacheStamp(image);
  g_cache.text = NewsCacheText(image.size() > 8 ? image.substr(8) : std::string_view{});
}

bool NewsCacheNeedsFetch() { return NewsCacheIsStale(LocalFileTimeNow(), g_cache.stamp, g_cache.text); }

std::string CachedNewsAnswer() { return std::string(TrimTrailingBlanks(g_cache.text)); }

void StoreNewsCache(std::string_view answer) {
  g_cache.text = NewsCacheText(answer);
  const std::string path = Setup().programDirectory + "velmora.cfg";
  const AutoHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
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
  return static_cast<int64_t>((static_cast<uint64_t>(stamp.dwHighDateTime) << 32) | stamp.dwLowDateTime);
}

}  // namespace velmora::postman
