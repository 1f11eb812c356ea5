// The message files on disk: the outgoing message that the postman sends and
// the archive inbox.dat. Runs on whichever thread shows a message dialog or
// sends a message; the archive is opened without sharing for an append, so a
// writer that meets it held open by another waits a little and tries again.

#include <windows.h>

#include "common/fixed_text.h"
#include "common/shared_state.h"
#include "common/win_handles.h"
#include "messages/inbox_format.h"
#include "messages/messages.h"

namespace velmora::messages {
namespace {

constexpr std::size_t kMaxOutgoingPath = 520;
constexpr int kMaxNameAttempts = 100;
constexpr DWORD kArchiveWaitMs = 2000;
constexpr DWORD kArchiveRetryMs = 50;

StampTime Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// Creates the outgoing file under the first free name: a file of the same
// name may still wait to be sent and is never replaced.
AutoHandle CreateOutgoingFile(std::string_view folder, const StampTime& t, std::string& path) {
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    path = std::string(TrimTrailingBlanks(folder)) + OutgoingFileName(t, attempt);
    if (path.size() > kMaxOutgoingPath) return {};
    AutoHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

AutoHandle OpenArchiveForAppend(const std::string& path) {
  const DWORD start = GetTickCount();
  for (;;) {
    AutoHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return file;
    const DWORD error = GetLastError();
    const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    if (!busy || GetTickCount() - start >= kArchiveWaitMs) return {};
    Sleep(kArchiveRetryMs);
  }
}

MessagesSetup g_setup;

}  // namespace

void ConfigureMessages(const MessagesSetup& setup) { g_setup = setup; }

const MessagesSetup& ConfiguredMessagesSetup() { return g_setup; }

void AppendInboxEntry(std::string_view body, std::string_view author) {
  const AutoHandle file = OpenArchiveForAppend(ConfiguredMessagesSetup().inboxFile);
  if (!file) return;
  LARGE_INTEGER end{};
  if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) return;
  if (!WriteAll(file.get(), InboxEntryBytes(body, author))) {
    // A short write (a full disk) must not leave half an entry behind.
    SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
    SetEndOfFile(file.get());
  }
}

int SendUserMessage(std::string_view text) {
  const StampTime now = Now();
  std::string path;
  AutoHandle file = CreateOutgoingFile(ConfiguredMessagesSetup().outgoingFolder, now, path);
  if (!file) return -1;
  const bool written = WriteAll(file.get(), OutgoingFileContent(text));
  file.reset();
  if (!written) {  // a partial request must never reach the postman
    DeleteFileA(path.c_str());
    return -1;
  }
  const std::string body = OwnBody(now, text);
  AppendInboxEntry(TrimTrailingBlanks(body), OwnAuthor(Shared().clientCode));
  return 0;
}

std::vector<InboxEntry> ReadInbox() {
  const AutoHandle file(CreateFileA(ConfiguredMessagesSetup().inboxFile.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return {};
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return {};
  bytes.resize(read);
  return ParseInbox(bytes);
}

}  // namespace velmora::messages
