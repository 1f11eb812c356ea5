#include "erpdirs/documents_directory.h"

#include <mutex>

#include "common/fixed_text.h"
#include "common/ui_seams.h"
#include "erpdirs/current_directory_files.h"
#include "erpdirs/image_fields.h"

namespace velmora::erpdirs {
namespace {

std::mutex g_lock;
Record g_record = [] {
  Record blank;
  blank.fill(' ');
  return blank;
}();

LoadFailure LoadHere() {
  CurrentDirectoryFiles files;
  const std::lock_guard lock(g_lock);
  return LoadDocumentsDirectory(files, g_record);
}

}  // namespace

int16_t LoadDocumentsDirectoryFile() {
  const LoadFailure failure = LoadHere();
  if (failure == LoadFailure::kNone) return 0;
  ShowErrorBox(DocumentsLoadMessage(failure));
  return 1;
}

int16_t LoadDocumentsDirectoryFileQuiet(std::span<char> message) {
  const LoadFailure failure = LoadHere();
  if (failure == LoadFailure::kNone) return 0;
  CopyIntoField(message, DocumentsQuietLoadMessage(failure));
  return 1;
}

void SetDocumentsDirectoryDefaults() {
  const std::lock_guard lock(g_lock);
  SetDocumentsDirectoryDefaults(g_record);
}

std::string DocumentsDataPath(std::string_view name) {
  const std::lock_guard lock(g_lock);
  return DocumentsDataPath(g_record, name);
}

std::string DocumentsDataDirectory() {
  const std::lock_guard lock(g_lock);
  return TextField(g_record, kDocumentsDataDirectory, kPathFieldWidth);
}

void SetDocumentsDataDirectory(std::string_view directory) {
  const std::lock_guard lock(g_lock);
  SetPathField(g_record, kDocumentsDataDirectory, directory);
}

Record DocumentsDirectoryRecord() {
  const std::lock_guard lock(g_lock);
  return g_record;
}

bool WriteLauncherDocumentsDirectoryFile(std::string_view suiteRoot,
                                         std::string_view programDirectory,
                                         std::string_view currentDirectory) {
  auto file = OpenOrCreateRecordFile(kDocumentsDirectoryFile.name);
  return file && file->WriteRecord(1, BuildLauncherDocumentsRecord(suiteRoot, programDirectory,
                                                                   currentDirectory));
}

}  // namespace velmora::erpdirs
