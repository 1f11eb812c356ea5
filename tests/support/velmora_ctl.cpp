// velmora-ctl: steers a running launcher from a script.
//   velmora-ctl close   TITLE        posts Cancel to the windows whose title starts with TITLE
//   velmora-ctl command TITLE ID     posts WM_COMMAND ID to them
//   velmora-ctl text    TITLE        prints their titles
// Exit code 0 when at least one window matched.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TitleSearch {
  std::string prefix;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTitled(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<TitleSearch*>(param);
  char title[512] = {};
  GetWindowTextA(window, title, sizeof title);
  if (std::string(title).rfind(search.prefix, 0) == 0) search.found.push_back(window);
  return TRUE;
}

std::vector<HWND> WindowsTitled(const std::string& prefix) {
  TitleSearch search{prefix, {}};
  EnumWindows(CollectTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: velmora-ctl close|command|text TITLE [ID]\n");
    return 2;
  }
  const std::string verb = argv[1];
  const std::vector<HWND> windows = WindowsTitled(argv[2]);
  for (const HWND window : windows) {
    if (verb == "close") PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    if (verb == "command" && argc > 3)
      PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
    if (verb == "text") {
      char title[512] = {};
      GetWindowTextA(window, title, sizeof title);
      std::printf("%s\n", title);
    }
  }
  return windows.empty() ? 1 : 0;
}
