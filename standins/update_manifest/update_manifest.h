#pragma once
// The update manifest: what the vendor's server offers as the newest suite
// files, each with its size and SHA-256. The address and update library
// fetches it, stages the files that differ from the installed ones under
// <suite root>ERP\UPDATE\ and keeps there the manifest of what it staged;
// the self-update program applies nothing that does not match it.
//
// Text, one file a line after a header line:
//   VELMORA-UPDATE 1
//   <size in bytes> <SHA-256, 64 hex digits> <path below the suite root>
// Paths use "\" (or "/") between folders; every folder and file name must be
// a plain name that stays where it is joined (no ":", no "..", not empty,
// no device name such as NUL or COM1), so no entry can reach outside the
// suite root. Portable.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::standins {

inline constexpr char kManifestHeader[] = "VELMORA-UPDATE 1";
// Where the server keeps the manifest, and the files below it.
inline constexpr char kRemoteManifest[] = "/updateVelmora/velmora.upd";
inline constexpr char kRemoteUpdateFolder[] = "/updateVelmora/suite/";
// The manifest of the staged files, at the top of the staging folder.
inline constexpr char kStagedManifestName[] = "velmora.upd";

struct ManifestEntry {
  std::string path;  // below the suite root, "\" between folders
  uint64_t size = 0;
  std::string sha256;  // 64 lower-case hex digits
  bool operator==(const ManifestEntry&) const = default;
};

struct Manifest {
  std::vector<ManifestEntry> files;
};

// True for a relative path made only of safe names (see above).
bool IsSafeRelativePath(std::string_view path);

// nullopt (with the reason in `problem`) for a wrong header, a line that does
// not parse, an unsafe path or a path listed twice: a manifest is taken whole
// or not at all.
std::optional<Manifest> ParseManifest(std::string_view text, std::string* problem = nullptr);
std::string FormatManifest(const Manifest& manifest);

// The entry's path below `folder`.
std::filesystem::path PathBelow(const std::filesystem::path& folder, std::string_view entryPath);
// The remote path the server serves an entry under.
std::string RemotePathOf(std::string_view entryPath);

// The SHA-256 of a file as lower-case hex; nullopt when it cannot be read.
using HashFileFn = std::function<std::optional<std::string>(const std::filesystem::path& file)>;

// Why the staged files cannot be applied: the first entry whose staged file
// is missing, of another size or of another hash, or a staged file that the
// manifest does not list. Empty when every staged file matches.
struct StagingProblem {
  std::string path;  // the entry or staged file concerned
  std::string what;  // "missing", "size", "hash", "not listed"
};
std::optional<StagingProblem> CheckStaging(const Manifest& staged,
                                           const std::filesystem::path& stagingFolder,
                                           const HashFileFn& hash);

}  // namespace velmora::standins
