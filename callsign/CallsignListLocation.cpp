#include "callsign/CallsignListLocation.h"

#include "base/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace tonvik {

namespace {

// A path as the file system takes it: the local 8-bit encoding that Qt uses
// for file names, or UTF-16 on Windows.
std::filesystem::path FileSystemPath(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

std::filesystem::path ShippedCallsignList() {
    if (QCoreApplication::instance() != nullptr)
        return FileSystemPath(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("master.ped")));
    // The commands of the terminal run without an application object.
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path(".") : program.parent_path()) / "master.ped";
}

std::filesystem::path PersonalCallsignList() {
    return DataFolder() / "master.ped";
}

std::filesystem::path BackupCallsignList() {
    return DataFolder() / "master.ped.bak";
}

ChosenCallsignList ChooseCallsignList(const std::filesystem::path& personal,
                                      const std::filesystem::path& shipped) {
    std::error_code error;
    // A link that leads nowhere is no list; a folder or an unreadable file
    // in its place is, so that the user hears why it cannot be drawn from.
    const auto status = std::filesystem::status(personal, error);
    if (std::filesystem::exists(status))
        return {personal, true};
    return {shipped, false};
}

ChosenCallsignList ChooseCallsignList() {
    return ChooseCallsignList(PersonalCallsignList(), ShippedCallsignList());
}

} // namespace tonvik
