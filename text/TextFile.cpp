#include "text/TextFile.h"

#include "text/Cp1251.h"
#include "text/RegularFile.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace tonvik {

namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

bool IsPlainAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Decodes bytes without their byte-order mark; false if they are not valid in
// that encoding.
bool Decode(std::string_view bytes, QStringConverter::Encoding from, QString& text) {
    QStringDecoder decoder(from, QStringConverter::Flag::Stateless);
    text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

std::string FromUnicodeFile(std::string_view bytes, QStringConverter::Encoding from) {
    QString text;
    Decode(bytes, from, text);
    return ToCp1251(text);
}

// Counts, for each parity of position, the bytes that a UTF-16 text of Latin
// and Cyrillic letters has as the high byte of a pair (0x00, 0x04) and its
// zero bytes. Index 1 holds the odd positions: the high bytes of little-endian.
struct PairCounts {
    size_t Pairs = 0;
    size_t HighLike[2] = {0, 0};
    size_t Zero[2] = {0, 0};
};

PairCounts CountPairs(std::string_view bytes) {
    PairCounts c;
    c.Pairs = bytes.size() / 2;
    for (size_t i = 0; i < c.Pairs * 2; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        c.HighLike[i % 2] += byte == 0x00 || byte == 0x04;
        c.Zero[i % 2] += byte == 0x00;
    }
    return c;
}

// UTF-16 without a mark, in the order its bytes show, or nothing when they do
// not look like UTF-16 text: CP1251 and UTF-8 text has no zero bytes at all,
// and binary data has zeros at both parities.
std::optional<QStringConverter::Encoding> UnmarkedUtf16(std::string_view bytes) {
    const PairCounts c = CountPairs(bytes);
    for (const int high : {1, 0}) {
        const int low = 1 - high;
        const bool highBytesLikeText = c.HighLike[high] * 10 >= c.Pairs * 9;
        const bool lowBytesNotZero = c.Zero[low] * 32 <= c.Pairs && c.HighLike[low] * 2 < c.Pairs;
        QString text;
        const auto encoding = high == 1 ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
        if (c.Pairs > 0 && highBytesLikeText && lowBytesNotZero &&
            Decode(bytes.substr(0, c.Pairs * 2), encoding, text))
            return encoding;
    }
    return std::nullopt;
}

std::string DecodeUtf16(std::string_view bytes) {
    if (StartsWith(bytes, "\xFF\xFE"))
        return FromUnicodeFile(bytes.substr(2), QStringConverter::Utf16LE);
    if (StartsWith(bytes, "\xFE\xFF"))
        return FromUnicodeFile(bytes.substr(2), QStringConverter::Utf16BE);
    const PairCounts c = CountPairs(bytes);
    return FromUnicodeFile(bytes, c.HighLike[0] > c.HighLike[1] ? QStringConverter::Utf16BE
                                                                : QStringConverter::Utf16LE);
}

std::string DecodeAuto(std::string_view bytes) {
    // The four-byte marks first: the UTF-32 LE mark begins with the UTF-16 LE one.
    if (StartsWith(bytes, std::string_view("\xFF\xFE\x00\x00", 4)))
        return FromUnicodeFile(bytes.substr(4), QStringConverter::Utf32LE);
    if (StartsWith(bytes, std::string_view("\x00\x00\xFE\xFF", 4)))
        return FromUnicodeFile(bytes.substr(4), QStringConverter::Utf32BE);
    if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF"))
        return DecodeUtf16(bytes);
    // Before the ASCII test: UTF-16 of Latin text is all bytes below 0x80.
    if (const auto utf16 = UnmarkedUtf16(bytes))
        return FromUnicodeFile(bytes, *utf16);
    if (IsPlainAscii(bytes))
        return std::string(bytes);
    // A UTF-8 mark settles it; without one the bytes must all be valid UTF-8.
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        return FromUnicodeFile(bytes.substr(3), QStringConverter::Utf8);
    QString text;
    if (Decode(bytes, QStringConverter::Utf8, text))
        return ToCp1251(text);
    return std::string(bytes);
}

std::string TooLarge(const std::string& path) {
    return "Файл слишком большой (больше 50 МБ): " + path;
}

// The message for a file that could not be read, naming it.
std::string ReadError(FileReadStatus status, const std::string& path) {
    switch (status) {
    case FileReadStatus::Missing:
        return "Файл не найден: " + path;
    case FileReadStatus::Directory:
        return "Это папка, а не файл: " + path;
    case FileReadStatus::NotRegular: // a pipe or a device may block or never end
        return "Это не обычный файл: " + path;
    case FileReadStatus::Denied:
        return "Нет доступа к файлу: " + path;
    case FileReadStatus::TooLarge:
        return TooLarge(path);
    case FileReadStatus::Ok:
    case FileReadStatus::Failed:
        break;
    }
    return "Не удается прочитать файл: " + path;
}

} // namespace

std::string DecodeTextBytes(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Cp1251:
        return std::string(bytes);
    case TextEncoding::Utf8:
        return FromUnicodeFile(StartsWith(bytes, "\xEF\xBB\xBF") ? bytes.substr(3) : bytes,
                               QStringConverter::Utf8);
    case TextEncoding::Utf16:
        return DecodeUtf16(bytes);
    case TextEncoding::Auto:
        break;
    }
    return DecodeAuto(bytes);
}

LoadedText LoadTextFile(const std::string& path, TextEncoding encoding) {
    const FileRead read = ReadRegularFile(path, MaxTextFileBytes);
    if (read.Status == FileReadStatus::TooLarge)
        return LoadedText{false, {}, ReadError(read.Status, path), "larger than 50 MB"};
    if (read.Status != FileReadStatus::Ok)
        return LoadedText{false, {}, ReadError(read.Status, path), read.Message};
    return LoadedText{true, DecodeTextBytes(read.Bytes, encoding), {}, {}};
}

} // namespace tonvik
