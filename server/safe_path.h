#pragma once
// Names that clients ask for ("hotnews.txt", "/updateVelmora/velmora.scn",
// "poze\tw01.jpg") turned into paths that can only ever point inside the
// served root, on Linux and on Windows alike.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::server {

inline constexpr std::size_t kMaxNameLength = 508;       // the client cuts its request text there
inline constexpr std::size_t kMaxComponentLength = 255;  // what common file systems allow

struct NameCheck {
  std::optional<std::filesystem::path> relative;  // set when the name is acceptable
  std::string problem;                            // why not, for the log
};

// Checks a requested name by its text alone. Accepted: printable ASCII
// components separated by '/' or '\', with at most one leading separator
// (taken as "from the root"). Refused: "." and "..", empty components,
// two leading separators (UNC), ':' anywhere (drive letters, streams),
// the characters < > " | ? *, control bytes and NUL, bytes above 127,
// components ending in '.' or ' ', Windows device names (CON, NUL, COM1...),
// and names over the length limits. Trailing blanks of the fixed-length
// request text are dropped first.
NameCheck CheckRequestedName(std::string_view name);

// Result of looking a name up under the root.
struct Resolved {
  std::optional<std::filesystem::path> file;  // an existing regular file inside the root
  std::string problem;                        // "rejected: ..." or "not found"
  bool rejected = false;                      // the name itself was refused
};

// `root` must be canonical. Beyond the text check, the real file must be a
// regular file whose canonical path still lies inside the root, so links that
// lead elsewhere are not followed out.
Resolved ResolveUnderRoot(const std::filesystem::path& root, std::string_view name);

// True when `path` equals `root` or lies below it, comparing whole components.
bool IsInside(const std::filesystem::path& root, const std::filesystem::path& path);

}  // namespace velmora::server
