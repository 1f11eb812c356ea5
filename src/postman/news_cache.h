#pragma once
// The news cache velmora.cfg in the launcher's folder: the last news answer
// (5000 characters) and the local time it was fetched. Start-up reads the
// file; the news thread keeps the copy, decides whether it is young enough
// and rewrites it after every fetch. Used on the news thread only.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::postman {

// Takes the cache as start-up read it (stamp and text, at most 5008 bytes).
void AdoptNewsCache(std::string_view image);

// False while the cache is fresh, true when the news must be fetched.
bool NewsCacheNeedsFetch();

// The cached answer without its trailing blanks.
std::string CachedNewsAnswer();

// Keeps the first 5000 bytes of a fetched answer and writes velmora.cfg
// (5008 bytes, stamped with the local time now). Nothing is written when
// the file cannot be created.
void StoreNewsCache(std::string_view answer);

// The local time now as a FILETIME count.
int64_t LocalFileTimeNow();

}  // namespace velmora::postman
