#include "docstore/keyed_file.h"

#include <mutex>
#include <optional>
#include <string>

#include "common/ui_seams.h"
#include "docstore/file_blocks.h"
#include "docstore/keyed_open.h"
#include "docstore/layout_cache.h"

namespace velmora::docstore {
namespace {

struct StoreState {
  std::mutex lock;
  LayoutCache layouts;
  int32_t probeLimit = kInitialProbeLimit;
};

StoreState& State() {
  static StoreState state;
  return state;
}

FileKey KeyOf(HANDLE handle) { return reinterpret_cast<FileKey>(handle); }

bool IsOpen(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

}  // namespace

void OpenKeyedFile(std::string_view name, std::string_view directory, HANDLE obiHandle,
                   HANDLE& handle, int32_t& bucketCount, int16_t& status) {
  if (IsOpen(handle)) CloseKeyedFile(handle);
  handle = INVALID_HANDLE_VALUE;
  status = 1;
  const std::string path = KeyedFilePath(directory, name);

  HANDLE file = OpenSharedForReading(path.c_str());
  if (!IsOpen(file)) {
    ShowErrorBox(OpenErrorText(path));
    return;
  }
  std::optional<std::string> failure;
  FileBlockReader blocks(file);
  FileBlockReader obi(obiHandle);
  const KeyedFileFacts facts =
      ExamineKeyedFile(blocks, IsOpen(obiHandle) ? &obi : nullptr, path,
                       [&](std::string_view text) { failure.emplace(text); });
  if (facts.status != 0) {
    CloseHandle(file);
    if (failure) ShowErrorBox(*failure);
    return;
  }
  {
    const std::lock_guard guard(State().lock);
    State().layouts.Remember(KeyOf(file), facts.layout);
  }
  handle = file;
  bucketCount = facts.bucketCount;
  status = 0;
}

int16_t ReadObiHeader(HANDLE obiHandle, int32_t& bucketCount) {
  Block header{};
  if (!FileBlockReader(obiHandle).ReadBlock(1, header)) {
    ShowErrorBox(kObiHeaderReadErrorText);
    return 1;
  }
  bucketCount = ObiBucketCount(header);
  return 0;
}

void CloseKeyedFile(HANDLE handle) {
  {
    const std::lock_guard guard(State().lock);
    State().layouts.Forget(handle == nullptr ? 0 : KeyOf(handle));
  }
  if (IsOpen(handle)) CloseHandle(handle);
}

int LayoutOf(HANDLE handle) {
  FileBlockReader blocks(handle);
  const std::lock_guard guard(State().lock);
  return LayoutOf(State().layouts, KeyOf(handle), blocks);
}

RetrieveOutcome RetrieveRecord(std::span<char> record, int keyLength, int32_t bucketCount,
                               HANDLE handle, int declaredKeyLength, int32_t dataLength) {
  if (declaredKeyLength != keyLength) {
    ShowErrorBox(kKeyLengthMismatchText);
    return {kStatusReadError, 0};
  }
  FileBlockReader blocks(handle);
  const std::lock_guard guard(State().lock);
  const int layout = LayoutOf(State().layouts, KeyOf(handle), blocks);
  const RecordQuery query{.record = record,
                          .keyLength = keyLength,
                          .bucketCount = bucketCount,
                          .declaredKeyLength = declaredKeyLength,
                          .dataLength = dataLength};
  return RetrieveRecord(blocks, layout, query, State().probeLimit);
}

}  // namespace velmora::docstore
