#pragma once
// The news cache velmora.cfg in the launcher's folder, and its one owner: the
// last news answer (5000 characters) and the local time it was fetched.
// Start-up loads the file on the main thread before the news thread starts;
// from then on the cache is the news thread's alone, which decides whether
// it is young enough and rewrites the file after every fetch.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::postman {

// Loads the cache file at `path`: at most its first 5008 bytes over an empty
// cache (stamp 0, 5000 blanks), every NUL of the text made a blank. The path
// is kept for StoreNewsCache. A missing file leaves the cache empty and
// returns false.
bool LoadNewsCache(const std::string& path);

// False while the cache is fresh, true when the news must be fetched.
bool NewsCacheNeedsFetch();

// The cached answer without its trailing blanks.
std::string CachedNewsAnswer();

// Keeps the first 5000 bytes of a fetched answer and writes the cache file
// (5008 bytes, stamped with the local time now). Nothing is written when
// the file cannot be created.
void StoreNewsCache(std::string_view answer);

// The local time now as a FILETIME count.
int64_t LocalFileTimeNow();

}  // namespace velmora::postman
