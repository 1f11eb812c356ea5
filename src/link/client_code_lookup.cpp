#include "link/client_code_lookup.h"

namespace velmora::link {

int16_t LookUpClientCode(bool /*erpMode*/, std::string& documentsDirectory, int32_t& code) {
  documentsDirectory = std::string(40, ' ');
  code = 0;
  return 0;
}

}  // namespace velmora::link
