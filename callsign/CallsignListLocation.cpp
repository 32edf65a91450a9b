#include "callsign/CallsignListLocation.h"

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
    return FileSystemPath(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("master.ped")));
}

} // namespace tonvik
