#include "text/Cp1251.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tonvik {

namespace {

constexpr const char* CodePage = "windows-1251";
// What Qt's encoder writes for a character the code page cannot hold.
constexpr char Substitute = 0x1A;

// One code point of text starting at pos: a surrogate pair or a single unit
// (a lone surrogate included, as the encoder counts it).
qsizetype CodePointLength(const QString& text, qsizetype pos) {
    if (text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate())
        return 2;
    return 1;
}

// The encoder writes one byte per code point, a substitute where it has none.
// Lines the bytes up with the code points and drops the substitutes that do not
// stand for a real U+001A; false if the bytes do not line up.
bool DropSubstitutes(const QString& text, const QByteArray& encoded, std::string& result) {
    result.clear();
    result.reserve(static_cast<size_t>(encoded.size()));
    qsizetype pos = 0;
    for (char byte : encoded) {
        if (pos >= text.size())
            return false;
        const qsizetype length = CodePointLength(text, pos);
        if (byte != Substitute || (length == 1 && text[pos].unicode() == 0x1A))
            result.push_back(byte);
        pos += length;
    }
    return pos == text.size();
}

// Slow but certain: each code point on its own.
std::string EncodeEachCodePoint(const QString& text) {
    std::string result;
    QStringEncoder encoder(CodePage, QStringConverter::Flag::Stateless);
    for (qsizetype pos = 0; pos < text.size();) {
        const qsizetype length = CodePointLength(text, pos);
        const QByteArray one = encoder.encode(QStringView(text).sliced(pos, length));
        if (one.size() == 1 && (one[0] != Substitute || text[pos].unicode() == 0x1A))
            result.push_back(one[0]);
        pos += length;
    }
    return result;
}

} // namespace

QString FromCp1251(std::string_view text) {
    QStringDecoder decoder(CodePage, QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::string ToCp1251(const QString& text) {
    QStringEncoder encoder(CodePage, QStringConverter::Flag::Stateless);
    const QByteArray encoded = encoder.encode(text);
    std::string result;
    if (!encoded.contains(Substitute)) {
        result.assign(encoded.constData(), static_cast<size_t>(encoded.size()));
        return result;
    }
    if (DropSubstitutes(text, encoded, result))
        return result;
    return EncodeEachCodePoint(text);
}

std::string Utf8ToCp1251(std::string_view utf8) {
    return ToCp1251(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::string Cp1251ToUtf8(std::string_view text) {
    const QByteArray utf8 = FromCp1251(text).toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

} // namespace tonvik
