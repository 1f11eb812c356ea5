#include "docstore/client_code.h"

#include <atomic>
#include <string>

#include "common/ui_seams.h"
#include "docstore/client_code_lookup.h"
#include "docstore/client_record.h"
#include "docstore/file_blocks.h"
#include "docstore/keyed_file.h"
#include "docstore/keyed_open.h"
#include "erpdirs/documents_directory.h"

namespace velmora::docstore {
namespace {

std::atomic<bool> g_haveCode{false};
std::atomic<int32_t> g_cachedCode{0};

bool IsOpen(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

// The path part of a 60-character documents data path (up to its zero byte).
std::string PathOf(const std::string& field) { return field.substr(0, field.find('\0')); }

// Closes on scope exit what this lookup opened itself.
struct OpenedHere {
  HANDLE obi = nullptr;
  HANDLE dev = nullptr;
  ~OpenedHere() {
    if (IsOpen(dev)) CloseKeyedFile(dev);
    if (IsOpen(obi)) CloseHandle(obi);
  }
};

// Bucket count of a dev.dat that is open already: its own header's, or obi.dat's.
std::optional<int32_t> BucketCountOfOpenDev(HANDLE dev, HANDLE obi, bool peek) {
  FileBlockReader devBlocks(dev), obiBlocks(obi);
  if (peek) {
    // A self-describing dev.dat carries its own count; obi.dat's would be wrong for it.
    Block block1{};
    if (LayoutOf(dev) == kLayoutSelfDescribing && devBlocks.ReadBlock(1, block1))
      return HeaderBucketCount(block1);
    int32_t count = 0;
    if (ReadObiHeader(obi, count) != 0) return std::nullopt;
    return count;
  }
  std::string failure;
  const KeyedFileFacts facts =
      ExamineOpenDevFile(devBlocks, obiBlocks, [&](std::string_view t) { failure = t; });
  if (facts.status != 0) {
    ShowErrorBox(failure);
    return std::nullopt;
  }
  return facts.bucketCount;
}

}  // namespace

std::optional<int32_t> ClientCodeInFiles(const ClientLookupFiles& files) {
  OpenedHere opened;
  HANDLE obi = files.openObi;
  if (!IsOpen(obi)) {
    obi = opened.obi = OpenSharedForReading(std::string(files.obiPath).c_str());
    if (!IsOpen(obi)) {
      if (!files.peek) ShowErrorBox(kObiOpenErrorText);
      return std::nullopt;
    }
  }
  HANDLE dev = files.openDev;
  int32_t bucketCount = 0;
  if (!IsOpen(dev)) {
    int16_t status = 1;
    OpenKeyedFile(files.devName, files.dataDirectory, obi, opened.dev, bucketCount, status);
    if (status != 0) return std::nullopt;
    dev = opened.dev;
  } else {
    const std::optional<int32_t> count = BucketCountOfOpenDev(dev, obi, files.peek);
    if (!count) return std::nullopt;
    bucketCount = *count;
  }
  ClientRecordBuffer buffer;
  const RecordQuery query = buffer.Query(bucketCount);
  return buffer.CodeAfter(RetrieveRecord(query.record, query.keyLength, bucketCount, dev,
                                         query.declaredKeyLength, query.dataLength));
}

void ReadClientCode(int32_t& code) {
  if (g_haveCode.load()) {
    code = g_cachedCode.load();
    return;
  }
  code = 0;
  const std::string directory = erpdirs::DocumentsDataDirectory();
  const std::string obiPath = PathOf(erpdirs::DocumentsDataPath("obi.dat"));
  const std::optional<int32_t> found =
      ClientCodeInFiles({.dataDirectory = directory, .obiPath = obiPath, .devName = "DEV.DAT"});
  if (!found) return;
  g_cachedCode.store(*found);
  g_haveCode.store(true);
  code = *found;
}

void PeekClientCode(int32_t& code) {
  code = 0;
  if (GetFileAttributesA("dirvan.dat") == INVALID_FILE_ATTRIBUTES) return;
  if (erpdirs::LoadDocumentsDirectoryFile() != 0) return;
  const std::string directory = erpdirs::DocumentsDataDirectory();
  const std::string obiPath = PathOf(erpdirs::DocumentsDataPath("obi.dat"));
  const std::optional<int32_t> found = ClientCodeInFiles(
      {.dataDirectory = directory, .obiPath = obiPath, .devName = "dev.dat", .peek = true});
  if (found) code = *found;
}

void ClearClientCodeCache() {
  g_haveCode.store(false);
  g_cachedCode.store(0);
}

}  // namespace velmora::docstore
