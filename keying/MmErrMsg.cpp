#include "keying/MmErrMsg.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tonvik {
namespace {

// 0..11 general, 32..35 waveform, 64..69 MIDI, 97 and 129 timer,
// 165..167 joystick, 257..266 multimedia file input and output.
constexpr std::array<std::pair<uint16_t, const char*>, 38> Texts{{
    {0, "no error"},
    {1, "unspecified error"},
    {2, "device ID out of range"},
    {3, "driver failed enable"},
    {4, "device already allocated"},
    {5, "device handle is invalid"},
    {6, "no device driver present"},
    {7, "memory allocation error"},
    {8, "function isn't supported"},
    {9, "error value out of range"},
    {10, "invalid flag passed"},
    {11, "invalid parameter passed"},
    {32, "unsupported wave format"},
    {33, "still something playing"},
    {34, "header not prepared"},
    {35, "device is synchronous"},
    {64, "header not prepared"},
    {65, "still something playing"},
    {66, "no current map"},
    {67, "hardware is still busy"},
    {68, "port no longer connected"},
    {69, "invalid setup"},
    {97, "request not completed"},
    {129, "time struct size"},
    {165, "bad parameters"},
    {166, "request not completed"},
    {167, "joystick is unplugged"},
    {257, "file not found"},
    {258, "out of memory"},
    {259, "cannot open"},
    {260, "cannot close"},
    {261, "cannot read"},
    {262, "cannot write"},
    {263, "cannot seek"},
    {264, "cannot expand file"},
    {265, "chunk not found"},
    {266, "file is unbuffered"},
    {0xFFFF, nullptr},
}};

} // namespace

std::string MmErrorText(uint32_t code) {
    const auto key = static_cast<uint16_t>(code);
    const auto it = std::find_if(Texts.begin(), Texts.end(),
                                 [key](const auto& entry) { return entry.first == key; });
    if (it == Texts.end() || it->second == nullptr)
        return "invalid parameter passed to error translation routine!";
    return it->second;
}

} // namespace tonvik
