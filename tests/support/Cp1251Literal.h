#pragma once

// Tests write expected Russian texts in UTF-8 and convert them with the C
// library's iconv, so a wrong escape in the code cannot hide behind the same
// wrong escape in the test.

#include <iconv.h>

#include <stdexcept>
#include <string>
#include <string_view>

inline std::string Cp1251(std::string_view utf8) {
    iconv_t cd = iconv_open("CP1251", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no UTF-8 to CP1251 conversion");
    std::string in(utf8);
    std::string out(in.size(), '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1))
        throw std::runtime_error("text not convertible to CP1251");
    out.resize(out.size() - outLeft);
    return out;
}

// A prefix letter and a number ("C12"), built without operator+ on a
// temporary, which GCC 12 at -O3 mistakes for an overlapping copy.
inline std::string Numbered(char prefix, int number) {
    std::string text(1, prefix);
    text += std::to_string(number);
    return text;
}
