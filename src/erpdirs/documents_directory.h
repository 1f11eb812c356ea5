#pragma once
// The documents module's directory file DIRVAN.DAT, read from the current
// directory into one record image kept for the whole run. The main thread,
// the postman thread and the client identification all load it; a lock keeps
// the image whole, and the accessors hand out copies.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "erpdirs/documents_directory_image.h"
#include "erpdirs/record_files.h"

namespace velmora::erpdirs {

// Loads the record image, creating DIRVAN.DAT with its defaults when it is
// missing. Shows each failure in the error box; returns 0 or 1.
int16_t LoadDocumentsDirectoryFile();

// The same without any box: on failure the text ("Eroare citire fisier
// DIRVAN.DAT!" and the like) is copied into `message`, cut to its length and
// blank-padded, and 1 is returned. `message` is left alone on success.
int16_t LoadDocumentsDirectoryFileQuiet(std::span<char> message);

// Puts the values of a new file into the image.
void SetDocumentsDirectoryDefaults();

// The 60-character path of a documents-module file (data directory + "\" +
// name + zero byte, blank-padded); `.c_str()` gives the name for Windows.
std::string DocumentsDataPath(std::string_view name);

// The documents data directory field (40 characters, blank-padded).
std::string DocumentsDataDirectory();
// Overwrites the data directory in the image only (the file is not written).
void SetDocumentsDataDirectory(std::string_view directory);

// A copy of the whole record image.
Record DocumentsDirectoryRecord();

// Writes the record that the documents-module launch creates when DIRVAN.DAT
// is missing (see BuildLauncherDocumentsRecord) as record 1 of DIRVAN.DAT in
// the current directory. False when the file cannot be opened or written;
// the caller goes on silently either way.
bool WriteLauncherDocumentsDirectoryFile(std::string_view suiteRoot,
                                         std::string_view programDirectory,
                                         std::string_view currentDirectory);

}  // namespace velmora::erpdirs
