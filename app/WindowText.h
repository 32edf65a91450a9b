#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

namespace tonvik {

// Conversion between the widgets' text and the CP1251 bytes of the cores.
struct WindowText {
    // CP1251 bytes of text. Characters that CP1251 cannot hold are dropped,
    // never keyed as something else.
    static std::string ToCp1251(const QString& text);
    static QString FromCp1251(std::string_view bytes);
    // A text file's bytes: valid UTF-8 that is not plain ASCII (with or
    // without a byte-order mark) is read as UTF-8, anything else as CP1251.
    static QString DecodeFile(const QByteArray& bytes);
};

} // namespace tonvik
