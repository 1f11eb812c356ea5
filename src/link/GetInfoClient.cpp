// The client's identity for the qualification: the client code text and the
// client information (executable date, computer name, directory, drive kind).

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "common/fixed_text.h"
#include "common/program_path.h"
#include "common/win_handles.h"
#include "link/client_code_lookup.h"
#include "link/client_identity.h"
#include "link/frame_codec.h"
#include "link/link_api.h"
#include "link/link_state.h"

namespace velmora::link {
namespace {

// Kept across calls: an executable that cannot be opened keeps the date of
// the last successful reading.
SYSTEMTIME g_lastWrite{1601, 1, 0, 1, 0, 0, 0, 0};

std::string ExecutableDate(const char* path) {
  AutoHandle file(
      CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_READONLY, nullptr));
  if (file) {
    FILETIME created, accessed, written;
    SYSTEMTIME converted;
    if (GetFileTime(file.get(), &created, &accessed, &written) &&
        FileTimeToSystemTime(&written, &converted))
      g_lastWrite = converted;
  }
  return FormatFileDate(g_lastWrite.wDay, g_lastWrite.wMonth, g_lastWrite.wYear);
}

std::string_view DriveKindOf(const PathParts& parts) {
  if (parts.drive.size() != 2) return DriveKindText(DRIVE_UNKNOWN);
  const std::string root = parts.drive.substr(0, 1) + ":\\";
  return DriveKindText(GetDriveTypeA(root.c_str()));
}

}  // namespace

int16_t GETINFOCLIENT(char* text, int32_t capacity) {
  if (capacity > 0) std::memset(text, ' ', static_cast<std::size_t>(capacity));
  char computer[101] = {};
  DWORD n = 100;
  if (!GetComputerNameA(computer, &n)) n = 0;
  // The identity has room for 511 characters of the path.
  const std::string& path = ProgramPath();
  const PathParts parts = SplitPath(std::string_view(path).substr(0, 511));
  const std::string information =
      BuildClientInformation(ExecutableDate(path.c_str()), std::string_view(computer, n),
                             DirectoryText(parts), DriveKindOf(parts));
  // Never longer than 628 characters; the callers pass 1,000.
  const std::size_t copied =
      std::min(information.size(), static_cast<std::size_t>(std::max(capacity, 0)));
  std::memcpy(text, information.data(), copied);
  return static_cast<int16_t>(information.size());
}

int16_t GETSTRINGCU() {
  LinkState& s = Link();
  s.clientCode = std::string(kUnknownClientCodeText);
  int32_t code = 0;
  const int16_t status = ClientCodeFromDocumentsModule(s.erpMode, s.documentsDirectory, code);
  if (status != 0) return -1;
  if (code != 0) s.clientCode = ClientCodeText(code);
  return 0;
}

}  // namespace velmora::link
