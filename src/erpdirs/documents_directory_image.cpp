#include "erpdirs/documents_directory_image.h"

#include <algorithm>

#include "common/fixed_text.h"
#include "erpdirs/image_fields.h"

namespace velmora::erpdirs {
namespace {

void SetDefaultsOfImage(std::span<char> image) {
  SetDocumentsDirectoryDefaults(image.first<kRecordSize>());
}

bool HasDriveLetter(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char c = path[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char UpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void SetDocumentsDirectoryDefaults(std::span<char, kRecordSize> image) {
  std::fill(image.begin(), image.end(), ' ');
  WriteInt16(image, 300, 60);
  WriteInt16(image, 302, 60);
  image[304] = 'N';
  image[305] = 'N';
  WriteInt16(image, 310, 0);
  image[kDocumentsModeLetter] = 'R';
  image[358] = 'N';
}

void NormaliseModeLetter(std::span<char, kRecordSize> image) {
  if (image[kDocumentsModeLetter] != 'E' && image[kDocumentsModeLetter] != 'R')
    image[kDocumentsModeLetter] = 'R';
}

std::string DocumentsDataPath(std::span<const char, kRecordSize> image, std::string_view name) {
  const std::string_view directory(image.data() + kDocumentsDataDirectory, kPathFieldWidth);
  const std::string_view fileName =
      TrimTrailingBlanks(name.substr(0, std::min(name.size(), kDocumentsFileNameWidth)));
  std::string path;
  const std::string_view trimmedDirectory = TrimTrailingBlanks(directory);
  if (!trimmedDirectory.empty() && directory[0] != '\0') {
    path.append(trimmedDirectory);
    path.push_back('\\');
  }
  path.append(fileName);
  path.push_back('\0');
  path.resize(kDocumentsDataPathWidth, ' ');
  return path;
}

Record BuildLauncherDocumentsRecord(std::string_view suiteRoot, std::string_view programDirectory,
                                    std::string_view currentDirectory) {
  std::string root(suiteRoot);
  std::string program(programDirectory);
  if (!program.empty() && program.back() == '\\') program.pop_back();
  // Only two real drive letters can be the same drive; a network path (\\server\share)
  // keeps its full form.
  if (HasDriveLetter(currentDirectory) && HasDriveLetter(programDirectory) &&
      UpperLetter(currentDirectory[0]) == UpperLetter(programDirectory[0])) {
    root = HasDriveLetter(root) ? root.substr(2) : root;
    program = program.substr(2);
  }
  Record record;
  record.fill(' ');
  SetPathField(record, kDocumentsDataDirectory, root + "\\Vantor");
  SetPathField(record, kSecondDocumentsDirectory, root + "\\Vantor");
  SetPathField(record, kDocumentsAccountingFolder, root + "\\Kelbar\\FIRMA");
  WriteInt16(record, 300, 60);
  WriteInt16(record, 302, 60);
  WriteInt32(record, 306, 0);
  WriteInt16(record, 310, 0);
  SetPathField(record, kDocumentsFurtherDirectory, program);
  WriteInt16(record, 352, 0);
  record[358] = 'N';
  WriteInt32(record, 359, 0);
  return record;
}

const DirectoryFileKind kDocumentsDirectoryFile{"DIRVAN.DAT", 1, &SetDefaultsOfImage,
                                                &ReadDirectoryRecords};

LoadFailure LoadDocumentsDirectory(RecordFileSystem& files, std::span<char, kRecordSize> image) {
  const LoadFailure failure = LoadDirectoryFile(files, kDocumentsDirectoryFile, image);
  if (failure == LoadFailure::kNone || failure == LoadFailure::kRead) NormaliseModeLetter(image);
  return failure;
}

std::string DocumentsLoadMessage(LoadFailure failure) {
  return std::string(TrimTrailingBlanks(LoadFailureMessage(failure, kDocumentsDirectoryFile.name)));
}

std::string_view DocumentsQuietLoadMessage(LoadFailure failure) {
  switch (failure) {
    case LoadFailure::kNone: return {};
    case LoadFailure::kCreate: return "Spatiu insuficient pentru fisierul DIRVAN.DAT!";
    case LoadFailure::kWrite: return "Eroare scriere fisier DIRVAN.DAT!";
    case LoadFailure::kOpen: return "Eroare deschidere fisier DIRVAN.DAT!";
    case LoadFailure::kRead: return "Eroare citire fisier DIRVAN.DAT!";
  }
  return {};
}

}  // namespace velmora::erpdirs
