#include "sample_suite/sample_media.h"

#include <stdexcept>
#include <string>

namespace velmora::standins {

std::string_view SampleMedia(std::string_view name) {
  for (int i = 0; i < kSampleMediaCount; ++i) {
    const SampleMediaFile& file = kSampleMediaFiles[i];
    if (name == file.name) return {reinterpret_cast<const char*>(file.bytes), file.size};
  }
  throw std::out_of_range("no sample medium " + std::string(name));
}

}  // namespace velmora::standins
