#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tonvik {

// How reading a file ended.
enum class FileReadStatus {
    Ok,
    Missing,    // no such file, or a link that leads nowhere
    Directory,  // a folder by that name
    NotRegular, // a pipe, a device or a socket: opening or reading it could block
    Denied,     // no permission
    TooLarge,   // above the limit given, or not enough memory to hold it
    Failed,     // any other error of opening or reading
};

struct FileRead {
    FileReadStatus Status = FileReadStatus::Failed;
    std::string Bytes;   // the whole file, when Ok
    std::string Message; // the system's English text of the error, when not Ok
};

// The bytes of a regular file of at most maxBytes. The file is opened without
// waiting and judged by what was opened, not by its name, so a pipe put in a
// file's place never holds the caller.
FileRead ReadRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes);

} // namespace tonvik
