// Any bytes as a loaded file, in every encoding: the result is CP1251 that
// holds no character the file did not have a way to say, and never crashes.
#include "text/TextFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (auto encoding : {tonvik::TextEncoding::Auto, tonvik::TextEncoding::Cp1251,
                          tonvik::TextEncoding::Utf8, tonvik::TextEncoding::Utf16}) {
        const std::string text = tonvik::DecodeTextBytes(bytes, encoding);
        if (encoding == tonvik::TextEncoding::Cp1251 && text.size() > size)
            __builtin_trap();
        // No stand-in for an unencodable character may reach the keyer.
        if (encoding != tonvik::TextEncoding::Cp1251 && text.find('\x1a') != std::string::npos &&
            bytes.find('\x1a') == std::string_view::npos)
            __builtin_trap();
    }
    return 0;
}
