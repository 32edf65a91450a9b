#include "WindowText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace tonvik {

namespace {

constexpr const char* Cp1251Name = "windows-1251";
// What the encoder writes for a character it cannot encode.
constexpr char Substitute = '\x1A';

bool IsAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::string WindowText::ToCp1251(const QString& text) {
    QStringEncoder encoder(Cp1251Name);
    std::string result;
    if (!encoder.isValid()) {
        // Without the codec only ASCII can be passed on faithfully.
        for (QChar c : text) {
            if (c.unicode() < 0x80)
                result.push_back(static_cast<char>(c.unicode()));
        }
        return result;
    }
    const QByteArray encoded = encoder.encode(text);
    result.reserve(static_cast<size_t>(encoded.size()));
    for (char c : encoded) {
        if (c != Substitute)
            result.push_back(c);
    }
    return result;
}

QString WindowText::FromCp1251(std::string_view bytes) {
    const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder decoder(Cp1251Name);
    if (!decoder.isValid())
        return QString::fromLatin1(data);
    return decoder.decode(data);
}

QString WindowText::DecodeFile(const QByteArray& bytes) {
    if (!IsAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError()) {
            if (text.startsWith(QChar(0xFEFF)))
                text.remove(0, 1);
            return text;
        }
    }
    return FromCp1251(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

} // namespace tonvik
