#include "text/TextFile.h"

#include "text/Cp1251.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

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

std::string DecodeAuto(std::string_view bytes) {
    // The four-byte marks first: the UTF-32 LE mark begins with the UTF-16 LE one.
    if (StartsWith(bytes, std::string_view("\xFF\xFE\x00\x00", 4)))
        return FromUnicodeFile(bytes.substr(4), QStringConverter::Utf32LE);
    if (StartsWith(bytes, std::string_view("\x00\x00\xFE\xFF", 4)))
        return FromUnicodeFile(bytes.substr(4), QStringConverter::Utf32BE);
    if (StartsWith(bytes, "\xFF\xFE"))
        return FromUnicodeFile(bytes.substr(2), QStringConverter::Utf16LE);
    if (StartsWith(bytes, "\xFE\xFF"))
        return FromUnicodeFile(bytes.substr(2), QStringConverter::Utf16BE);
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

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Refuses what is not a regular file of acceptable size.
bool CheckPath(const std::string& path, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code code;
    const fs::file_status status = fs::status(path, code);
    switch (status.type()) {
    case fs::file_type::not_found:
        error = "Файл не найден: " + path;
        return false;
    case fs::file_type::directory:
        error = "Это папка, а не файл: " + path;
        return false;
    case fs::file_type::regular:
        break;
    default:
        if (code == std::errc::permission_denied)
            error = "Нет доступа к файлу: " + path;
        else if (code)
            error = "Не удается открыть файл: " + path;
        else // a pipe or a device may block or never end
            error = "Это не обычный файл: " + path;
        return false;
    }
    const std::uintmax_t size = fs::file_size(path, code);
    if (!code && size > MaxTextFileBytes) {
        error = TooLarge(path);
        return false;
    }
    return true;
}

bool ReadBytes(const std::string& path, std::string& bytes, std::string& error) {
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = (errno == EACCES ? "Нет доступа к файлу: " : "Не удается открыть файл: ") + path;
        return false;
    }
    // At most one byte past the limit is read: the file may have grown since it
    // was measured.
    char buffer[1 << 16];
    while (bytes.size() <= MaxTextFileBytes) {
        const size_t count = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, count);
        if (count < sizeof buffer)
            break;
    }
    if (std::ferror(file.get())) {
        error = "Не удается прочитать файл: " + path;
        return false;
    }
    if (bytes.size() > MaxTextFileBytes) {
        error = TooLarge(path);
        return false;
    }
    return true;
}

} // namespace

std::string DecodeTextBytes(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Cp1251:
        return std::string(bytes);
    case TextEncoding::Utf8:
        return FromUnicodeFile(StartsWith(bytes, "\xEF\xBB\xBF") ? bytes.substr(3) : bytes,
                               QStringConverter::Utf8);
    case TextEncoding::Auto:
        break;
    }
    return DecodeAuto(bytes);
}

LoadedText LoadTextFile(const std::string& path, TextEncoding encoding) {
    std::string error;
    std::string bytes;
    if (!CheckPath(path, error) || !ReadBytes(path, bytes, error))
        return LoadedText{false, {}, std::move(error)};
    return LoadedText{true, DecodeTextBytes(bytes, encoding), {}};
}

} // namespace tonvik
