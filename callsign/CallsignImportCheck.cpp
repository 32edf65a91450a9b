#include "callsign/CallsignImportCheck.h"

#include "callsign/CallsignImportRead.h"
#include "keying/MorseCode.h"
#include "text/Cp1251.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstdio>

namespace tonvik {
namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsUtf8(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return true;
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded =
        decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

std::string CodePoint(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

char32_t FirstCodePoint(const QString& text) {
    if (text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[0], text[1]);
    return text[0].unicode();
}

// "'А' (U+0410, Cyrillic)", "a space", "a control character (U+0009)".
std::string DescribeCharacter(char32_t c, const std::string& cp1251Byte) {
    if (c == U' ')
        return "a space";
    const std::string code = cp1251Byte.empty() ? CodePoint(c) : "CP1251 byte " + cp1251Byte;
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
        return "a control character (" + code + ")";
    const QString shown = QString::fromUcs4(&c, 1);
    std::string script;
    if (QChar::script(c) == QChar::Script_Cyrillic)
        script = ", Cyrillic";
    else if (QChar::script(c) == QChar::Script_Greek)
        script = ", Greek";
    return '\'' + shown.toStdString() + "' (" + code + script + ")";
}

// The first character that may not stand in a callsign, described; "" if none.
std::string ForeignCharacter(std::string_view text, bool utf8) {
    const auto bad = std::find_if(text.begin(), text.end(),
                                  [](char c) { return !IsCallCharacter(c) && !IsAsciiLetter(c); });
    if (bad == text.end())
        return "";
    const std::size_t at = static_cast<std::size_t>(bad - text.begin());
    if (!utf8) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(*bad));
        return DescribeCharacter(FirstCodePoint(FromCp1251(text.substr(at, 1))), byte);
    }
    const QString rest =
        QString::fromUtf8(text.data() + at, static_cast<qsizetype>(text.size() - at));
    return DescribeCharacter(FirstCodePoint(rest), "");
}

bool SlashesInPlace(const std::string& call) {
    return call.front() != '/' && call.back() != '/' && call.find("//") == std::string::npos;
}

} // namespace

bool IsCallCharacter(char c) {
    const bool allowed = (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '/';
    return allowed && !MorseCode(static_cast<unsigned char>(c)).empty();
}

CheckedCall CheckImportedCall(std::string_view text) {
    text = TrimmedField(text);
    CheckedCall checked;
    const bool utf8 = IsUtf8(text);
    checked.Shown = utf8 ? std::string(text) : Cp1251ToUtf8(text);
    if (text.empty()) {
        checked.Refusal = "empty";
        return checked;
    }
    if (const std::string foreign = ForeignCharacter(text, utf8); !foreign.empty()) {
        checked.Refusal = foreign + " is not a Latin letter, a digit or /";
        return checked;
    }
    std::string call(text);
    for (char& c : call) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    if (std::none_of(call.begin(), call.end(), IsDigit))
        checked.Refusal = "no digit: not a callsign";
    else if (std::none_of(call.begin(), call.end(), IsAsciiLetter))
        checked.Refusal = "no letter: not a callsign";
    else if (!SlashesInPlace(call))
        checked.Refusal = "a / at its start or end, or two together";
    else if (call.size() > MaxImportedCallLength)
        checked.Refusal = "longer than " + std::to_string(MaxImportedCallLength) + " characters";
    else
        checked.Call = std::move(call);
    return checked;
}

} // namespace tonvik
