#include "update_manifest/update_manifest.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "common/fixed_text.h"
#include "common/text_lines.h"
#include "update/asset_plan.h"

namespace velmora::standins {
namespace fs = std::filesystem;

namespace {

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  for (;;) {
    const auto slash = path.find_first_of("\\/");
    parts.push_back(path.substr(0, slash));
    if (slash == std::string_view::npos) return parts;
    path.remove_prefix(slash + 1);
  }
}

bool IsHexDigest(std::string_view text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

// "<size> <digest> <path>": the path is the rest of the line.
std::optional<ManifestEntry> ParseLine(std::string_view line) {
  const auto firstBlank = line.find(' ');
  if (firstBlank == std::string_view::npos) return std::nullopt;
  ManifestEntry entry;
  const std::string_view size = line.substr(0, firstBlank);
  const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), entry.size);
  if (error != std::errc{} || end != size.data() + size.size()) return std::nullopt;
  line.remove_prefix(firstBlank + 1);
  const auto secondBlank = line.find(' ');
  if (secondBlank == std::string_view::npos) return std::nullopt;
  entry.sha256 = Lower(line.substr(0, secondBlank));
  if (!IsHexDigest(entry.sha256)) return std::nullopt;
  entry.path = std::string(line.substr(secondBlank + 1));
  std::replace(entry.path.begin(), entry.path.end(), '/', '\\');
  if (!IsSafeRelativePath(entry.path)) return std::nullopt;
  return entry;
}

std::string Key(std::string_view path) { return Lower(path); }

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9, with or without an extension, name
// devices rather than files anywhere on Windows.
bool IsDeviceName(std::string_view name) {
  const std::string stem = Lower(name.substr(0, name.find('.')));
  if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
  return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
         stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

bool IsSafeRelativePath(std::string_view path) {
  const std::vector<std::string_view> parts = Components(path);
  return std::all_of(parts.begin(), parts.end(), [](std::string_view part) {
    return update::IsSafeFileName(part) && part.back() != ' ' && part.back() != '.' &&
           !IsDeviceName(part);
  });
}

std::optional<Manifest> ParseManifest(std::string_view text, std::string* problem) {
  auto fail = [&](std::string why) -> std::optional<Manifest> {
    if (problem != nullptr) *problem = std::move(why);
    return std::nullopt;
  };
  Manifest manifest;
  std::set<std::string> seen;
  bool headerRead = false;
  int lineNumber = 0;
  TextLineReader reader(text);
  for (std::string_view line; reader.Next(line);) {
    ++lineNumber;
    line = TrimTrailingBlanks(line);
    if (!headerRead) {
      if (line != kManifestHeader) return fail("not an update manifest");
      headerRead = true;
      continue;
    }
    if (line.empty()) continue;
    std::optional<ManifestEntry> entry = ParseLine(line);
    if (!entry)
      return fail("line " + std::to_string(lineNumber) + " is not <size> <sha256> <safe path>");
    if (!seen.insert(Key(entry->path)).second) return fail(entry->path + " is listed twice");
    manifest.files.push_back(std::move(*entry));
  }
  if (!headerRead) return fail("not an update manifest");
  return manifest;
}

std::string FormatManifest(const Manifest& manifest) {
  std::string text = std::string(kManifestHeader) + "\r\n";
  for (const ManifestEntry& entry : manifest.files)
    text += std::to_string(entry.size) + " " + entry.sha256 + " " + entry.path + "\r\n";
  return text;
}

fs::path PathBelow(const fs::path& folder, std::string_view entryPath) {
  fs::path path = folder;
  for (std::string_view part : Components(entryPath)) path /= std::string(part);
  return path;
}

std::string RemotePathOf(std::string_view entryPath) {
  std::string remote = kRemoteUpdateFolder + std::string(entryPath);
  std::replace(remote.begin(), remote.end(), '\\', '/');
  return remote;
}

std::optional<StagingProblem> CheckStaging(const Manifest& staged, const fs::path& stagingFolder,
                                           const HashFileFn& hash) {
  std::set<std::string> listed;
  for (const ManifestEntry& entry : staged.files) {
    const fs::path file = PathBelow(stagingFolder, entry.path);
    listed.insert(Key(fs::relative(file, stagingFolder).string()));
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return StagingProblem{entry.path, "missing"};
    if (fs::file_size(file, error) != entry.size || error)
      return StagingProblem{entry.path, "size"};
    if (hash(file) != entry.sha256) return StagingProblem{entry.path, "hash"};
  }
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(stagingFolder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    std::string relative = fs::relative(it->path(), stagingFolder).string();
    if (relative == kStagedManifestName) continue;
    if (!listed.count(Key(relative))) {
      std::replace(relative.begin(), relative.end(), '/', '\\');
      return StagingProblem{relative, "not listed"};
    }
  }
  return std::nullopt;
}

}  // namespace velmora::standins
