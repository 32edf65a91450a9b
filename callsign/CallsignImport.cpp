#include "callsign/CallsignImport.h"

#include "callsign/CallsignImportCheck.h"
#include "callsign/CallsignImportRead.h"
#include "callsign/CallsignList.h"
#include "text/RegularFile.h"
#include "text/TextFile.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace tonvik {
namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

std::string LowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return extension;
}

bool HasCabrilloLine(std::string_view bytes) {
    bool found = false;
    ForEachLine(bytes, [&](std::string_view line, int) {
        line = TrimmedField(line);
        found = found || SameNoCase(line.substr(0, 4), "QSO:") ||
                SameNoCase(line.substr(0, 13), "START-OF-LOG:");
    });
    return found;
}

bool HasAdifTag(std::string_view bytes) {
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && bytes[first] == '<')
        return true;
    for (std::size_t lt = bytes.find('<'); lt != std::string_view::npos;
         lt = bytes.find('<', lt + 1)) {
        const std::string_view tag = bytes.substr(lt, 5);
        if (SameNoCase(tag, "<EOH>") || SameNoCase(tag, "<EOR>"))
            return true;
    }
    return false;
}

// Control bytes other than tab, line and page breaks and the DOS end-of-file
// mark, in more than one byte in a hundred: no log or list looks like that.
bool LooksBinary(std::string_view bytes) {
    const std::string_view start = bytes.substr(0, 1 << 16);
    const auto control = std::count_if(start.begin(), start.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' &&
               byte != 0x1A;
    });
    return static_cast<std::size_t>(control) * 100 > start.size();
}

FoundCalls ReadFormat(ImportFormat format, std::string_view bytes) {
    switch (format) {
    case ImportFormat::Adif:
        return ReadAdifCalls(bytes);
    case ImportFormat::Cabrillo:
        return ReadCabrilloCalls(bytes);
    case ImportFormat::CallList:
        break;
    }
    return ReadListedCalls(bytes);
}

// A list saved as UTF-16 or UTF-32 (a Windows editor's "Unicode") is known
// by its byte-order mark and read as the UTF-8 text it stands for; anything
// else is left as it is.
bool DecodeMarkedUnicode(std::string& bytes) {
    const auto startsWith = [&](std::string_view mark) {
        return bytes.size() >= mark.size() &&
               std::memcmp(bytes.data(), mark.data(), mark.size()) == 0;
    };
    using E = QStringConverter::Encoding;
    // The four-byte marks first: the UTF-32 LE mark begins with the UTF-16 LE one.
    const std::pair<std::string_view, E> marks[] = {
        {std::string_view("\xFF\xFE\x00\x00", 4), E::Utf32LE},
        {std::string_view("\x00\x00\xFE\xFF", 4), E::Utf32BE},
        {"\xFF\xFE", E::Utf16LE},
        {"\xFE\xFF", E::Utf16BE},
    };
    for (const auto& [mark, encoding] : marks) {
        if (!startsWith(mark))
            continue;
        QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
        const QString text = decoder.decode(QByteArrayView(
            bytes.data() + mark.size(), static_cast<qsizetype>(bytes.size() - mark.size())));
        bytes = text.toStdString();
        return true;
    }
    return false;
}

// Why a file could not be read, in the system's words where it has them.
std::string ReadProblemText(const FileRead& read, std::size_t limit) {
    switch (read.Status) {
    case FileReadStatus::Ok:
        return "";
    case FileReadStatus::Missing:
        return "no such file";
    case FileReadStatus::Directory:
        return "a folder, not a file";
    case FileReadStatus::NotRegular:
        return "not a regular file (a device, a pipe or a socket): not read";
    case FileReadStatus::TooLarge:
        return "larger than " + std::to_string(limit >> 20) + " MB: not read";
    case FileReadStatus::Denied:
    case FileReadStatus::Failed:
        break;
    }
    return "cannot be read: " + read.Message;
}

std::string_view WithoutMark(std::string_view bytes) {
    return bytes.substr(0, Utf8Mark.size()) == Utf8Mark ? bytes.substr(Utf8Mark.size()) : bytes;
}

} // namespace

std::string FileProblemText(const std::filesystem::path& path, CallsignListStatus status,
                            std::size_t limit) {
    switch (status) {
    case CallsignListStatus::Ok:
        return "";
    case CallsignListStatus::Missing:
        return "no such file";
    case CallsignListStatus::Empty:
        return "the file is empty";
    case CallsignListStatus::TooLarge:
        return "larger than " + std::to_string(limit >> 20) + " MB: not read";
    case CallsignListStatus::NotText:
        return "not a text file (it holds NUL bytes): not read";
    case CallsignListStatus::Unreadable:
        break;
    }
    // Judged again, for the words: a name that cannot be reached is no pipe.
    const FileRead read = ReadRegularFile(path, 0);
    if (read.Status == FileReadStatus::TooLarge || read.Status == FileReadStatus::Ok)
        return "cannot be read";
    return ReadProblemText(read, limit);
}

ImportFormat DetectImportFormat(const std::filesystem::path& path, std::string_view bytes) {
    const std::string extension = LowerExtension(path);
    if (extension == ".adi" || extension == ".adif")
        return ImportFormat::Adif;
    if (HasCabrilloLine(bytes))
        return ImportFormat::Cabrillo;
    if (HasAdifTag(bytes))
        return ImportFormat::Adif;
    return ImportFormat::CallList;
}

bool CallsignCollection::Add(std::string call) {
    if (!Seen.insert(call).second)
        return false;
    Ordered.push_back(std::move(call));
    return true;
}

void CallsignCollection::AddExisting(std::string_view listBytes) {
    for (const FoundCall& found : ReadListedCalls(WithoutMark(listBytes)).Calls) {
        CheckedCall checked = CheckImportedCall(found.Text);
        if (checked.Taken() && Add(std::move(checked.Call)))
            ++Existing;
    }
}

FileImport CallsignCollection::Import(const std::filesystem::path& path) {
    FileRead read = ReadRegularFile(path, MaxTextFileBytes);
    FileImport failed;
    failed.Problem = ReadProblemText(read, MaxTextFileBytes);
    if (!failed.Problem.empty())
        return failed;
    const bool unicode = DecodeMarkedUnicode(read.Bytes);
    const CallsignList file = CallsignList::FromBytes(std::move(read.Bytes), MaxTextFileBytes);
    if (file.Status() == CallsignListStatus::Empty && unicode)
        return ImportBytes(path, {});
    if (!file.Ok()) {
        failed.Problem = FileProblemText(path, file.Status(), MaxTextFileBytes);
        return failed;
    }
    return ImportBytes(path, file.Text());
}

FileImport CallsignCollection::ImportBytes(const std::filesystem::path& path,
                                           std::string_view bytes) {
    FileImport result;
    if (LooksBinary(bytes)) {
        result.Problem = "not a text file (control bytes throughout): not read";
        return result;
    }
    bytes = WithoutMark(bytes);
    const FoundCalls found = ReadFormat(DetectImportFormat(path, bytes), bytes);
    result.Format = found.Format;
    result.Problem = found.Problem;
    for (const FoundCall& call : found.Calls) {
        CheckedCall checked = CheckImportedCall(call.Text);
        std::string reason = call.Refusal.empty() ? checked.Refusal : call.Refusal;
        if (!reason.empty()) {
            if (result.FirstRefused.size() < ListedRefusals)
                result.FirstRefused.push_back({call.Line, checked.Shown, std::move(reason)});
            ++result.Refused;
        } else if (Add(std::move(checked.Call))) {
            ++result.Kept;
        } else {
            ++result.Duplicates;
        }
    }
    if (found.Calls.empty() && result.Problem.empty())
        result.Problem = "no callsigns in it";
    return result;
}

} // namespace tonvik
