// velmora-sample-offer <server-root> <bin-dir>
// Writes the sample vendor server's schedule, pictures and update offer into
// <server-root> (a Windows program: the manifest's digests come from bcrypt).

#include <cstdio>
#include <exception>

#include "sample_suite/sample_offer.h"
#include "update_manifest/sha256_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velmora-sample-offer <server-root> <bin-dir>\n");
    return 2;
  }
  try {
    using namespace velmora::standins;
    if (!WriteSampleOffer(argv[1], argv[2],
                          [](std::string_view bytes) { return Sha256OfBytes(bytes); })) {
      std::fprintf(stderr, "velmora-sample-offer: recorder.exe not found in %s\n", argv[2]);
      return 1;
    }
    std::printf("offer written to %s\n", argv[1]);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velmora-sample-offer: %s\n", error.what());
    return 1;
  }
}
