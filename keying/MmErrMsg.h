#pragma once

#include <cstdint>
#include <string>

namespace tonvik {

// English text for a multimedia result code, taken as an unsigned 16-bit value.
std::string MmErrorText(uint32_t code);

} // namespace tonvik
