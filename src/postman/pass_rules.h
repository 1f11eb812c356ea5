#pragma once
// The postman's decisions that need no Windows call: how long to wait before
// the next pass, when the message check is due, which directory entries are
// outgoing files, in which order they go, and what makes a file a request.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::postman {

// Results of a sync pass.
inline constexpr int16_t kPassDone = 0;
inline constexpr int16_t kPassNoClientCode = -1;
inline constexpr int16_t kPassNotReady = -3;
inline constexpr int16_t kPassNothingToSend = -4;
inline constexpr int16_t kPassNoConnection = -5;

// Results of the file loader besides the size of a loaded file.
inline constexpr int32_t kLoadUnreadable = -1;   // cannot be opened or read whole: try again later
inline constexpr int32_t kLoadNotARequest = -3;  // too large, or no request code: set aside

inline constexpr int32_t kFirstPassPeriodMs = 8000;  // the period before any pass has run
inline constexpr int32_t kFirstPassDelayMs = 7000;   // from the dialog's start to its first pass
inline constexpr unsigned kPassPauseMs = 1500;       // every pass starts with this pause
inline constexpr int32_t kLargestRequestBytes = 9935759;
inline constexpr std::size_t kMaxListedFiles = 2000;
inline constexpr int16_t kPassesPerMessageCheck = 120;

// The period after a pass: 7 s after a good pass; otherwise 8 s longer,
// and back to 100 s once it passes 120 s.
int32_t NextPassPeriod(int32_t period, int16_t passResult);

// Counts one pass of the message check; true (and the counter back at 0)
// on the pass that is due for a message fetch.
bool CountMessagePass(int16_t& counter);

// FindFirstFile attribute words: directories are never outgoing files.
bool IsOutgoingEntry(uint32_t attributes);

// The loader's verdict on a file of `size` bytes before reading it:
// kLoadNotARequest when it is too large for a request, else 0.
int32_t SizeVerdict(uint64_t size);
// True when the file starts with three decimal digits and a blank.
bool StartsWithRequestCode(std::span<const char> bytes);

struct OutgoingFile {
  std::string path;  // full path
  uint64_t created;  // creation time, FILETIME ticks
};

// Oldest first, as CompareFileTime orders the creation times; files created
// at the same tick go in the order of their names.
void SortOldestFirst(std::vector<OutgoingFile>& files);

// The part of a path after its last backslash.
std::string_view BaseName(std::string_view path);

}  // namespace velmora::postman
