// velmora-sample-suite <target-dir> <bin-dir>
// Builds a sample suite in <target-dir> from the programs of a Windows build
// (<bin-dir> holds velmora.exe, the stand-ins in it or in its standins/).

#include <cstdio>
#include <exception>

#include "sample_suite/sample_suite.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velmora-sample-suite <target-dir> <bin-dir>\n");
    return 2;
  }
  try {
    const velmora::standins::SuiteReport report =
        velmora::standins::BuildSampleSuite(argv[1], argv[2]);
    for (const std::string& missing : report.missingPrograms)
      std::fprintf(stderr, "missing in %s: %s\n", argv[2], missing.c_str());
    std::printf("%zu files written to %s\n", report.written.size(), argv[1]);
    return report.ok() ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velmora-sample-suite: %s\n", error.what());
    return 1;
  }
}
