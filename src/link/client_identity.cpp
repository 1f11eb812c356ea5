#include "link/client_identity.h"

#include <algorithm>
#include <cstdio>

#include "common/fixed_text.h"

namespace velmora::link {

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = std::string(path.substr(0, 2));
    path.remove_prefix(2);
  }
  const std::size_t slash = path.find_last_of("\\/");
  if (slash != std::string_view::npos) {
    parts.directory = std::string(path.substr(0, slash + 1));
    path.remove_prefix(slash + 1);
  }
  const std::size_t dot = path.find_last_of('.');
  if (dot != std::string_view::npos) {
    parts.extension = std::string(path.substr(dot));
    path = path.substr(0, dot);
  }
  parts.name = std::string(path);
  return parts;
}

std::string ProgramNameFromPath(std::string_view modulePath) {
  if (modulePath.empty()) return "?";
  const std::string name = SplitPath(modulePath).name;
  return name.substr(0, std::min<std::size_t>(name.size(), 20));
}

std::string DirectoryText(const PathParts& parts) {
  std::string text(TrimTrailingBlanks(parts.drive));
  text += TrimTrailingBlanks(parts.directory);
  return std::string(TrimTrailingBlanks(text));
}

std::string_view DriveKindText(unsigned driveType) {
  switch (driveType) {
    case 2: return "rem";
    case 3: return "fix";
    case 4: return "ret";
    case 5: return "cd?";
    default: return " ? ";
  }
}

std::string FormatFileDate(int day, int month, int year) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", day, month, year);
  return PadToWidth(text, 10);
}

std::string BuildClientInformation(std::string_view date, std::string_view computerName,
                                   std::string_view directoryText, std::string_view driveKind) {
  std::string text = PadToWidth(date, 10);
  text += ' ';
  text += computerName;
  text += ' ';
  text += TrimTrailingBlanks(directoryText);
  text += ' ';
  text += PadToWidth(driveKind, 3);
  return text;
}

}  // namespace velmora::link
