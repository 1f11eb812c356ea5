#pragma once
// The client's identity as the server sees it: the program name, and the
// client information "DD.MM.YYYY computer directory kind" (the executable's
// last-write date, the computer name, the executable's directory and the kind
// of drive it lies on).

#include <string>
#include <string_view>

namespace velmora::link {

struct PathParts {
  std::string drive;      // "C:" or empty
  std::string directory;  // "\Suite\ERP\" (with its trailing separator) or empty
  std::string name;       // "velmora"
  std::string extension;  // ".exe" or empty
};
// Splits a Windows path into drive, directory, name and extension.
PathParts SplitPath(std::string_view path);

// The program name sent in the qualification: the first 20 characters of the
// executable's name, or "?" when the module path is unknown.
std::string ProgramNameFromPath(std::string_view modulePath);

// Drive and directory of the executable, trailing blanks removed.
std::string DirectoryText(const PathParts& parts);

// Text of a GetDriveTypeA result: "rem", "fix", "ret", "cd?" or " ? ".
std::string_view DriveKindText(unsigned driveType);

// "DD.MM.YYYY".
std::string FormatFileDate(int day, int month, int year);

// date (10), blank, computer name, blank, directory text, blank, drive kind (3).
// Its length is the name's plus the directory's plus 16.
std::string BuildClientInformation(std::string_view date, std::string_view computerName,
                                   std::string_view directoryText, std::string_view driveKind);

}  // namespace velmora::link
