#include "renova37/update_apply.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace velmora::standins {
namespace fs = std::filesystem;

namespace {

// One staged file on its way in, with what is needed to undo it.
struct Step {
  fs::path relative;
  bool targetExisted = false;
  std::vector<fs::path> createdFolders;  // made for the target, deepest last
};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::vector<fs::path> CreateMissingFolders(const fs::path& folder, std::error_code& error) {
  std::vector<fs::path> missing;
  for (fs::path f = folder; !f.empty() && !fs::exists(f, error); f = f.parent_path()) {
    missing.push_back(f);
    if (f == f.parent_path()) break;
  }
  std::reverse(missing.begin(), missing.end());
  std::vector<fs::path> created;
  for (const fs::path& f : missing) {
    if (!fs::create_directory(f, error) && error) break;
    created.push_back(f);
  }
  return created;
}

bool CopyWithAttempts(const ApplyOptions& options, const fs::path& from, const fs::path& to,
                      std::error_code& error) {
  for (int attempt = 1;; ++attempt) {
    error.clear();
    if (options.copy(from, to, error)) return true;
    if (attempt >= std::max(1, options.attemptsPerFile)) return false;
    options.betweenAttempts();
  }
}

// Puts back what `done` changed, newest first; returns what stayed wrong.
std::vector<fs::path> Undo(const std::vector<Step>& done, const fs::path& root,
                           const fs::path& backup, const ApplyOptions& options) {
  std::vector<fs::path> notRestored;
  for (auto step = done.rbegin(); step != done.rend(); ++step) {
    const fs::path target = root / step->relative;
    std::error_code error;
    if (step->targetExisted) {
      if (!CopyWithAttempts(options, backup / step->relative, target, error))
        notRestored.push_back(step->relative);
    } else {
      fs::remove(target, error);
      if (error) notRestored.push_back(step->relative);
    }
    for (auto folder = step->createdFolders.rbegin(); folder != step->createdFolders.rend();
         ++folder)
      fs::remove(*folder, error);  // only removes what is empty again
  }
  return notRestored;
}

// Removes the backup: copies of read-only targets are read-only as well, and
// the system deletes none of them until they are writable again.
void RemoveBackup(const fs::path& backup) {
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(backup, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error))
    if (std::error_code ignored; it->is_regular_file(ignored))
      fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  fs::remove_all(backup, error);
}

}  // namespace

bool CopyReplacing(const fs::path& from, const fs::path& to, std::error_code& error) {
  error.clear();
  const fs::file_status status = fs::status(to, error);
  error.clear();
  if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
    fs::permissions(to, fs::perms::owner_write, fs::perm_options::add, error);
  error.clear();
  // Remove, then copy: the MinGW library refuses overwrite_existing with
  // "File exists". A target that cannot go (locked, in use) fails here.
  if (fs::exists(status) && !fs::remove(to, error)) return false;
  return fs::copy_file(from, to, error) && !error;
}

std::vector<fs::path> StagedFiles(const fs::path& suiteRoot) {
  const fs::path staging = suiteRoot / kStagingFolder;
  std::vector<fs::path> files;
  std::error_code error;
  if (!fs::is_directory(staging, error)) return files;
  for (auto it = fs::recursive_directory_iterator(staging, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    fs::path relative = it->path().lexically_relative(staging);
    if (relative != kStagedManifestName) files.push_back(std::move(relative));
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::optional<StagingProblem> VerifyStagedUpdate(const fs::path& suiteRoot,
                                                 const HashFileFn& hash) {
  const fs::path staging = suiteRoot / kStagingFolder;
  std::ifstream in(staging / kStagedManifestName, std::ios::binary);
  if (!in) return StagingProblem{kStagedManifestName, "missing"};
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string problem;
  const std::optional<Manifest> manifest = ParseManifest(text, &problem);
  if (!manifest) return StagingProblem{kStagedManifestName, problem};
  return CheckStaging(*manifest, staging, hash);
}

ApplyResult ApplyStagedUpdate(const fs::path& suiteRoot, const ApplyOptions& options) {
  ApplyResult result;
  const std::vector<fs::path> staged = StagedFiles(suiteRoot);
  if (staged.empty()) return result;

  const fs::path staging = suiteRoot / kStagingFolder;
  const fs::path backup = suiteRoot / kBackupFolder;
  std::error_code error;
  if (options.hash) {
    if (const auto problem = VerifyStagedUpdate(suiteRoot, options.hash)) {
      result.outcome = ApplyOutcome::Refused;
      result.failedAt = fs::path(problem->path);
      result.error = problem->what;
      fs::remove_all(staging, error);
      return result;
    }
  }
  RemoveBackup(backup);

  std::vector<Step> done;
  auto fail = [&](const fs::path& relative, const std::error_code& cause) {
    result.failedAt = relative;
    result.error = cause.message();
    result.notRestored = Undo(done, suiteRoot, backup, options);
    result.outcome =
        result.notRestored.empty() ? ApplyOutcome::RolledBack : ApplyOutcome::RestoreFailed;
    if (result.notRestored.empty()) RemoveBackup(backup);
    result.applied.clear();
    return result;
  };

  for (const fs::path& relative : staged) {
    Step step{relative, false, {}};
    const fs::path target = suiteRoot / relative;
    step.targetExisted = fs::exists(target, error);
    if (step.targetExisted) {
      const fs::path kept = backup / relative;
      fs::create_directories(kept.parent_path(), error);
      if (error || !CopyWithAttempts(options, target, kept, error)) return fail(relative, error);
    }
    step.createdFolders = CreateMissingFolders(target.parent_path(), error);
    if (error) {
      done.push_back(step);  // its folders go again on undo
      return fail(relative, error);
    }
    // From here on the target may be half-written: it is undone with the rest.
    done.push_back(step);
    if (!CopyWithAttempts(options, staging / relative, target, error)) return fail(relative, error);
    result.applied.push_back(relative);
  }

  fs::remove_all(staging, error);
  RemoveBackup(backup);
  result.outcome = ApplyOutcome::Applied;
  return result;
}

std::string LauncherPathFromCommandLine(std::string_view commandLine,
                                        std::string_view ownFileName) {
  const std::string lower = Lower(commandLine);
  const std::string own = Lower(ownFileName);
  std::size_t rest = std::string::npos;
  for (std::size_t at = lower.find(own); at != std::string::npos; at = lower.find(own, at + 1)) {
    const std::size_t end = at + own.size();
    if (end == lower.size() || lower[end] == ' ' || lower[end] == '"' || lower[end] == '\t') {
      rest = end;
      break;
    }
  }
  if (rest == std::string::npos) {
    // Not recognisable by name: take the second blank-separated word on.
    std::size_t start = commandLine.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    if (commandLine[start] == '"') {
      rest = commandLine.find('"', start + 1);
      rest = rest == std::string_view::npos ? commandLine.size() : rest + 1;
    } else {
      rest = commandLine.find_first_of(" \t", start);
      if (rest == std::string_view::npos) return {};
    }
  } else if (rest < commandLine.size() && commandLine[rest] == '"') {
    ++rest;  // the closing quote of a quoted own path
  }
  std::string_view path = commandLine.substr(std::min(rest, commandLine.size()));
  const auto first = path.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  path = path.substr(first, path.find_last_not_of(" \t") - first + 1);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  return std::string(path);
}

const char* OutcomeName(ApplyOutcome outcome) {
  switch (outcome) {
    case ApplyOutcome::NothingStaged: return "nothing staged";
    case ApplyOutcome::Applied: return "applied";
    case ApplyOutcome::RolledBack: return "rolled back";
    case ApplyOutcome::RestoreFailed: return "restore failed";
    case ApplyOutcome::Refused: return "refused";
  }
  return "?";
}

}  // namespace velmora::standins
