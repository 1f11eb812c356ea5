#pragma once
// The size of the buffers a whole request or answer passes through: the
// link's send and receive buffers, the postman's file buffer, and with them
// the largest answer the launcher, the vendor's libraries and the reference
// server exchange. Header-only and portable: the launcher, the stand-ins and
// the server all include it.

#include <cstddef>

namespace velmora {

inline constexpr std::size_t kTransferBufferSize = 10'735'760;

}  // namespace velmora
