#include "common/program_path.h"

#include <windows.h>

namespace velmora {
namespace {

struct OwnPath {
  std::string path;
  DWORD error = 0;
};

// Grows the buffer until the whole path fits (a truncated path fills it).
OwnPath ReadOwnPath() {
  OwnPath own;
  for (DWORD capacity = MAX_PATH; capacity <= 32768; capacity *= 2) {
    own.path.resize(capacity);
    const DWORD length = GetModuleFileNameA(nullptr, own.path.data(), capacity);
    if (length == 0) {
      own.error = GetLastError();
      break;
    }
    if (length < capacity) {
      own.path.resize(length);
      return own;
    }
  }
  if (own.error == 0) own.error = ERROR_INSUFFICIENT_BUFFER;
  own.path.clear();
  return own;
}

const OwnPath& Own() {
  static const OwnPath own = ReadOwnPath();
  return own;
}

}  // namespace

const std::string& ProgramPath() { return Own().path; }
unsigned long ProgramPathError() { return Own().error; }

}  // namespace velmora
