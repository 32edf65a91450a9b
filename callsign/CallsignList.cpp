#include "CallsignList.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>

namespace tonvik {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads the whole regular file into bytes; false on a read error.
bool ReadAll(const std::filesystem::path& path, std::uintmax_t size, std::string& bytes) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get()))
        return false;
    // A file that shrank since its size was taken is read as it is now.
    bytes.resize(got);
    return true;
}

} // namespace

CallsignList CallsignList::Load(const std::filesystem::path& path, std::size_t maxBytes) {
    std::error_code error;
    auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return CallsignList(CallsignListStatus::Missing);
    if (error || status.type() != std::filesystem::file_type::regular)
        return CallsignList(CallsignListStatus::Unreadable);
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return CallsignList(CallsignListStatus::Unreadable);
    if (size > maxBytes)
        return CallsignList(CallsignListStatus::TooLarge);
    std::string bytes;
    try {
        if (!ReadAll(path, size, bytes))
            return CallsignList(CallsignListStatus::Unreadable);
    } catch (const std::bad_alloc&) {
        return CallsignList(CallsignListStatus::TooLarge);
    }
    return FromBytes(std::move(bytes), maxBytes);
}

CallsignList CallsignList::FromBytes(std::string bytes, std::size_t maxBytes) {
    if (bytes.size() > maxBytes)
        return CallsignList(CallsignListStatus::TooLarge);
    if (bytes.empty())
        return CallsignList(CallsignListStatus::Empty);
    if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr)
        return CallsignList(CallsignListStatus::NotText);
    CallsignList list(CallsignListStatus::Ok);
    list.Bytes = std::move(bytes);
    list.IndexLines();
    return list;
}

std::size_t CallsignList::LineEnd(std::size_t start) const {
    const char* p = Bytes.data() + start;
    const char* end = Bytes.data() + Bytes.size();
    while (p != end && *p != '\r' && *p != '\n')
        ++p;
    return static_cast<std::size_t>(p - Bytes.data());
}

std::size_t CallsignList::NextLineStart(std::size_t lineEnd) const {
    if (lineEnd >= Bytes.size())
        return Bytes.size();
    if (Bytes[lineEnd] == '\r' && lineEnd + 1 < Bytes.size() && Bytes[lineEnd + 1] == '\n')
        return lineEnd + 2;
    return lineEnd + 1;
}

void CallsignList::IndexLines() {
    // The size limit keeps the count within int: at most one line per byte.
    std::size_t pos = 0;
    while (pos < Bytes.size()) {
        if (LineCount % LinesPerMark == 0)
            Marks.push_back(pos);
        pos = NextLineStart(LineEnd(pos));
        ++LineCount;
    }
    Marks.shrink_to_fit();
}

std::string_view CallsignList::Line(int index) const {
    if (index < 0 || index >= LineCount)
        return {};
    std::size_t start = Marks[static_cast<std::size_t>(index / LinesPerMark)];
    for (int skip = index % LinesPerMark; skip > 0; --skip)
        start = NextLineStart(LineEnd(start));
    return std::string_view(Bytes).substr(start, LineEnd(start) - start);
}

std::string_view CallsignList::Callsign(int index) const {
    std::string_view line = Line(index);
    return line.substr(0, line.find(','));
}

std::string_view CallsignListMessage(CallsignListStatus status) {
    switch (status) {
    case CallsignListStatus::Ok:
        return "";
    case CallsignListStatus::Missing: // Не найден файл master.ped! Работа программы невозможна
        return "\xcd\xe5 \xed\xe0\xe9\xe4\xe5\xed \xf4\xe0\xe9\xeb master.ped! \xd0\xe0\xe1\xee"
               "\xf2\xe0 \xef\xf0\xee\xe3\xf0\xe0\xec\xec\xfb \xed\xe5\xe2\xee\xe7\xec\xee\xe6"
               "\xed\xe0";
    case CallsignListStatus::Empty: // Файл master.ped пуст! Работа программы невозможна
        return "\xd4\xe0\xe9\xeb master.ped \xef\xf3\xf1\xf2! \xd0\xe0\xe1\xee\xf2\xe0 \xef\xf0"
               "\xee\xe3\xf0\xe0\xec\xec\xfb \xed\xe5\xe2\xee\xe7\xec\xee\xe6\xed\xe0";
    case CallsignListStatus::Unreadable:
        // Не удается прочитать файл master.ped! Работа программы невозможна
        return "\xcd\xe5 \xf3\xe4\xe0\xe5\xf2\xf1\xff \xef\xf0\xee\xf7\xe8\xf2\xe0\xf2\xfc "
               "\xf4\xe0\xe9\xeb master.ped! \xd0\xe0\xe1\xee\xf2\xe0 \xef\xf0\xee\xe3\xf0\xe0"
               "\xec\xec\xfb \xed\xe5\xe2\xee\xe7\xec\xee\xe6\xed\xe0";
    case CallsignListStatus::TooLarge:
        // Файл master.ped слишком велик! Работа программы невозможна
        return "\xd4\xe0\xe9\xeb master.ped \xf1\xeb\xe8\xf8\xea\xee\xec \xe2\xe5\xeb\xe8\xea! "
               "\xd0\xe0\xe1\xee\xf2\xe0 \xef\xf0\xee\xe3\xf0\xe0\xec\xec\xfb \xed\xe5\xe2\xee"
               "\xe7\xec\xee\xe6\xed\xe0";
    case CallsignListStatus::NotText:
        // Файл master.ped не является текстовым! Работа программы невозможна
        return "\xd4\xe0\xe9\xeb master.ped \xed\xe5 \xff\xe2\xeb\xff\xe5\xf2\xf1\xff \xf2\xe5"
               "\xea\xf1\xf2\xee\xe2\xfb\xec! \xd0\xe0\xe1\xee\xf2\xe0 \xef\xf0\xee\xe3\xf0\xe0"
               "\xec\xec\xfb \xed\xe5\xe2\xee\xe7\xec\xee\xe6\xed\xe0";
    }
    return "";
}

std::string DrawCallsigns(const CallsignList& list, Random& random) {
    if (list.Count() == 0)
        return " ";
    std::string playText;
    for (int i = 0; i < CallsignsPerExercise; ++i) {
        playText += list.Callsign(random.Below(list.Count() - 1));
        playText += ' ';
    }
    return playText;
}

} // namespace tonvik
