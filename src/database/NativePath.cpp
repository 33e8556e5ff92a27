#include "database/NativePath.h"

#include <QDir>
#include <QFile>

namespace database {

QString nativePath(const QString& chosen) {
    return QDir::toNativeSeparators(chosen);
}

std::filesystem::path filePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    const QByteArray encoded = QFile::encodeName(path);
    return std::filesystem::path(std::string(encoded.constData(), std::size_t(encoded.size())));
#endif
}

} // namespace database
