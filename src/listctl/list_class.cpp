#include "listctl/list_class.h"

#include "listctl/list_window.h"

namespace velmora::listctl {

bool RegisterListClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = &ListWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kListClassName;
  const bool registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  if (!registered) return false;
  RegisterEditorClass(instance);
  return true;
}

}  // namespace velmora::listctl
