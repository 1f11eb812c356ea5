#include "postman/sync_pass.h"

#include <string_view>
#include <vector>

#include "common/fixed_text.h"
#include "common/shared_state.h"
#include "common/win_handles.h"
#include "link/link_api.h"
#include "postman/file_loader.h"
#include "postman/message_fetch.h"
#include "postman/pass_rules.h"

// The pass runs on the postman thread. It reads the shared client code, the
// ready flag and the message check, and touches nothing else of the other
// threads. Its log lines go to the application log through the link's log.

namespace velmora::postman {
namespace {

constexpr UINT_PTR kPassTimer = 2;

void Log(std::string_view text) { link::WRITEINLOGSTARWND(text); }
void Log(std::string_view text, long long number) {
  Log(std::string(text) + RightAligned(number, 6));
}

uint64_t Ticks(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The files of the outgoing directory, at most kMaxListedFiles; false when
// the directory cannot be searched.
bool ListOutgoingFiles(const std::string& outgoing, std::vector<OutgoingFile>& files) {
  WIN32_FIND_DATAA entry;
  AutoFindHandle search(FindFirstFileA((outgoing + "*.*").c_str(), &entry));
  if (!search) {
    Log("Invalid handle FF - ", GetLastError());
    return false;
  }
  do {
    if (IsOutgoingEntry(entry.dwFileAttributes))
      files.push_back({outgoing + entry.cFileName, Ticks(entry.ftCreationTime)});
  } while (files.size() < kMaxListedFiles && FindNextFileA(search.get(), &entry));
  search.reset();
  Log("Fisiere FF", static_cast<long long>(files.size()));
  return true;
}

int32_t Load(const std::string& path, std::span<char> buffer) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return LoadOutgoingFile(path, buffer);
}

// True when some listed file is a request that can be read now.
bool AnyFileToSend(const std::vector<OutgoingFile>& files, std::span<char> buffer) {
  for (const OutgoingFile& file : files)
    if (Load(file.path, buffer) > 0) return true;
  return false;
}

bool MoveInto(const std::string& path, const std::string& target) {
  return MoveFileExA(path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

// Sends the files in order; stops at the first one the server did not answer.
void SendFiles(const PassPlace& place, const std::vector<OutgoingFile>& files) {
  for (const OutgoingFile& file : files) {
    const std::string base(BaseName(file.path));
    const int32_t loaded = Load(file.path, place.buffer);
    if (loaded == kLoadNotARequest) {
      // Never sent, so this is the only copy: it stays if it cannot be set aside.
      MoveInto(file.path, place.sent + "!" + base);
      continue;
    }
    if (loaded == kLoadUnreadable) continue;
    const int16_t sent = link::SENDBUFFERTOSERVER(place.buffer.data(), loaded);
    if (sent != 0) {
      Log("Err send :", sent);
      Log("ex (1)");
      return;
    }
    Log("Send ok :" + file.path);
    // The server has it: a file that cannot be filed away must not go again.
    if (!MoveInto(file.path, place.sent + base)) DeleteFileA(file.path.c_str());
  }
}

// Timer 2 brings the next pass.
UINT_PTR Rearm(const PassPlace& place, int32_t period) {
  return SetTimer(place.dialog, kPassTimer, static_cast<UINT>(period), nullptr);
}

void CheckMessages(const PassPlace& place) {
  SharedState& shared = Shared();
  if (!shared.messageCheck) return;
  int16_t counter = shared.messagePassCount;
  const bool due = CountMessagePass(counter);
  shared.messagePassCount = counter;
  if (!due) return;
  FetchMessages(place.dialog);
  if (!shared.received.IsBlank() && place.announceMessage != nullptr) place.announceMessage();
}

// Lists, sorts, connects and sends; the result of the pass. `opened` tells
// whether the link was opened (and so must be closed).
int16_t SendOutgoing(const PassPlace& place, int32_t clientCode, bool& opened) {
  std::vector<OutgoingFile> files;
  if (!ListOutgoingFiles(place.outgoing, files)) return kPassDone;
  if (files.empty()) {
    Log("0 files");
    return kPassDone;
  }
  SortOldestFirst(files);
  if (!AnyFileToSend(files, place.buffer)) return kPassNothingToSend;
  Log("init conectare postas");
  opened = true;
  const int16_t connected = link::INITCONECTARELASERVER(place.dialog, place.instance, clientCode);
  Log("Init CS", connected);
  if (connected != 0) {
    Log("gt (9)");
    return kPassNoConnection;
  }
  SendFiles(place, files);
  return kPassDone;
}

}  // namespace

int16_t RunSyncPass(const PassPlace& place, int32_t period) {
  Log("Init PostasThreadFunc");
  Sleep(place.pauseMs);
  const int32_t clientCode = Shared().clientCode;
  if (clientCode == 0) {
    Rearm(place, period);
    Log("CU = 0");
    return kPassNoClientCode;
  }
  if (!Shared().ready) {
    Rearm(place, period);
    Log("... not ready");
    return kPassNotReady;
  }
  CheckMessages(place);
  bool opened = false;
  const int16_t result = SendOutgoing(place, clientCode, opened);
  if (result == kPassNothingToSend) {
    Rearm(place, period);
    return result;
  }
  Log("inchide conexiune ....");
  // Closing a link that was never opened would end a Winsock use that is not
  // ours (another thread's, or a library's) through its WSACleanup.
  if (opened) link::INCHIDECONECTARELASERVER();
  Log("Set timer", static_cast<long long>(Rearm(place, period)));
  Log("Exit thread func");
  return result;
}

}  // namespace velmora::postman
