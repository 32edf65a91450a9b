#include "journal/FileHash.h"

#include <QCryptographicHash>
#include <QFile>

namespace tonvik {

std::string FileSha256(const std::filesystem::path& path) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly))
        return "";
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return "";
    return hash.result().toHex().toStdString();
}

} // namespace tonvik
