#include "streams/error.h"

#include <cstring>

namespace kx {

std::string SystemReason(int err) { return std::strerror(err); }

}  // namespace kx
