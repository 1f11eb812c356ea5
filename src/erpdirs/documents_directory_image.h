#pragma once
// DIRVAN.DAT, the documents module's directory file: one record of 512 bytes
// (a longer file is accepted, only record 1 is used). Its main field is the
// documents data directory, the folder of obi.dat, dev.dat and the exchange
// rate file; full names of those files are built from it.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "erpdirs/directory_file.h"

namespace velmora::erpdirs {

inline constexpr std::size_t kDocumentsDataDirectory = 180;
inline constexpr std::size_t kSecondDocumentsDirectory = 220;
inline constexpr std::size_t kDocumentsAccountingFolder = 260;
inline constexpr std::size_t kDocumentsFurtherDirectory = 312;
inline constexpr std::size_t kDocumentsModeLetter = 354;

inline constexpr std::size_t kDocumentsDataPathWidth = 60;
inline constexpr std::size_t kDocumentsFileNameWidth = 14;

// Blanks, then the values of a file created by this program.
void SetDocumentsDirectoryDefaults(std::span<char, kRecordSize> image);

// The mode letter is "E" or "R"; anything else becomes "R".
void NormaliseModeLetter(std::span<char, kRecordSize> image);

// The 60-character path of a documents-module file (name of up to 14
// characters): data directory + "\" + name + a zero byte, or only the name and
// the zero byte when the data directory is blank or starts with a zero byte;
// blanks after. `.c_str()` of the result is the name to hand to Windows.
std::string DocumentsDataPath(std::span<const char, kRecordSize> image, std::string_view name);

// The record that the documents-module launch writes when DIRVAN.DAT is
// missing: `suiteRoot` without trailing '\' (C:\Suite), `programDirectory`
// with it (C:\Suite\ERP\). When the current directory lies on the launcher's
// drive, the four paths are written without their drive prefix.
Record BuildLauncherDocumentsRecord(std::string_view suiteRoot, std::string_view programDirectory,
                                    std::string_view currentDirectory);

extern const DirectoryFileKind kDocumentsDirectoryFile;

// Loads record 1 into the image, creating the file with its defaults when it
// is missing; normalises the mode letter whenever the read step is reached,
// whether the read worked or not. A failed read leaves the image as it was.
LoadFailure LoadDocumentsDirectory(RecordFileSystem& files, std::span<char, kRecordSize> image);

// The texts shown by the loader ("** Eroare Citire fisier DIRVAN.DAT **") and
// the shorter ones handed back by the quiet loader ("Eroare citire fisier
// DIRVAN.DAT!"), without padding.
std::string DocumentsLoadMessage(LoadFailure failure);
std::string_view DocumentsQuietLoadMessage(LoadFailure failure);

}  // namespace velmora::erpdirs
