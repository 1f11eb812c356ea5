// velmora-server: the reference vendor server for tests and demos.
// See server/README.md for its folders, switches and log format.

#include <cstdio>
#include <string_view>
#include <vector>

#include "server/options.h"
#include "server/server.h"

int main(int argc, char** argv) {
  using namespace velmora::server;
  std::vector<std::string_view> args(argv + 1, argv + argc);
  const ParsedOptions parsed = ParseOptions(args);
  if (!parsed.options) {
    std::fprintf(stderr, "velmora-server: %s\n%s", parsed.error.c_str(), UsageText().c_str());
    return 2;
  }
  if (parsed.options->help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }

  Server server(*parsed.options);
  if (const std::string error = server.Start(); !error.empty()) {
    std::fprintf(stderr, "velmora-server: %s\n", error.c_str());
    return 1;
  }
  server.StopOnSignals();
  // The one line on stdout: whoever started the server reads the port from it.
  std::printf("listening on %s\n", server.address().c_str());
  std::fflush(stdout);
  server.Run();
  return 0;
}
