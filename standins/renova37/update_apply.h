#pragma once
// The heart of the self-update program, portable: puts the files staged in
// <suite root>ERP\UPDATE\ (their paths below UPDATE mirror the suite root)
// in place, keeping a backup of every file it replaces. If any copy fails,
// every file already touched is put back as it was, so the suite is either
// wholly updated or wholly unchanged.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update_manifest/update_manifest.h"

namespace velmora::standins {

inline constexpr char kStagingFolder[] = "ERP/UPDATE";
inline constexpr char kBackupFolder[] = "ERP/UPDATE.BAK";

// Copies `from` over `to`; false (with `error` set) when it could not.
using CopyFileFn = std::function<bool(const std::filesystem::path& from,
                                      const std::filesystem::path& to, std::error_code& error)>;

// Overwrites `to`, clearing a read-only flag first (as an installer must).
bool CopyReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                   std::error_code& error);

struct ApplyOptions {
  CopyFileFn copy = CopyReplacing;
  int attemptsPerFile = 1;  // a target may stay locked a moment after its program ended
  std::function<void()> betweenAttempts = [] {};
  // When set, nothing is applied unless every staged file matches the
  // staged manifest (velmora.upd at the top of the staging folder); a staged
  // update that does not is discarded, so that a fresh one is fetched.
  HashFileFn hash;
};

enum class ApplyOutcome {
  NothingStaged,  // no file waiting; nothing changed
  Applied,        // every staged file is in place; staging and backup removed
  RolledBack,     // a copy failed; every touched file is as it was before
  RestoreFailed,  // a copy failed and some file could not be put back; the backup folder is kept
  Refused,  // the staged files do not match their manifest; nothing changed, staging discarded
};

struct ApplyResult {
  ApplyOutcome outcome = ApplyOutcome::NothingStaged;
  std::vector<std::filesystem::path>
      applied;  // relative paths, in the order they were put in place
  std::optional<std::filesystem::path>
      failedAt;       // the relative path whose copy failed or check did not pass
  std::string error;  // what the system said about it, or what did not match
  std::vector<std::filesystem::path> notRestored;  // relative paths that could not be put back
};

ApplyResult ApplyStagedUpdate(const std::filesystem::path& suiteRoot,
                              const ApplyOptions& options = {});

// The staged files, relative to the staging folder, sorted (the staged
// manifest itself is not one of them).
std::vector<std::filesystem::path> StagedFiles(const std::filesystem::path& suiteRoot);

// Why the staged update cannot be applied: no readable manifest, or a
// staged file that does not match it. nullopt when everything matches.
std::optional<StagingProblem> VerifyStagedUpdate(const std::filesystem::path& suiteRoot,
                                                 const HashFileFn& hash);

// The launcher path of the command line "<own path> <launcher path>" that the
// launcher builds without quotes: everything after the own path, which is
// recognised by its file name, so blanks in either path do no harm. Quotes
// around either path are accepted too. Empty when no launcher path follows.
std::string LauncherPathFromCommandLine(std::string_view commandLine,
                                        std::string_view ownFileName = "renova37.exe");

const char* OutcomeName(ApplyOutcome outcome);

}  // namespace velmora::standins
