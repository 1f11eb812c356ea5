#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR /*commandLine*/, int /*show*/) {
  const std::vector<std::string> arguments(__argv, __argv + __argc);
  return velmora::shell::RunLauncher(instance, previous, arguments);
}
