// Reads the header of a compiled DIALOGEX template straight from the module's
// resources, so tests can check what the dialog manager does not keep (the
// size in dialog units, the font, the style bits that only the template holds).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace velmora::resources_test {

struct DialogTemplateHeader {
  DWORD style = 0;
  DWORD exStyle = 0;
  int itemCount = 0;
  int cx = 0;
  int cy = 0;
  std::string title;
  int pointSize = 0;
  std::string typeface;
};

// Returns nothing when the resource is missing or is not a DIALOGEX template.
std::optional<DialogTemplateHeader> ReadDialogTemplate(int id);

// The raw bytes of a resource of this module.
std::string ResourceBytes(LPCSTR name, LPCSTR type);

}  // namespace velmora::resources_test
