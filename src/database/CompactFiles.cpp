#include "database/CompactFiles.h"

#include "data/TJetEngine.h"
#include "database/NativePath.h"

#include <QFile>
#include <QFileInfo>

namespace database {

QString temporaryCopyPath(const QString& path, QChar separator) {
    const qsizetype nameStart = path.lastIndexOf(separator) + 1;
    return path.left(nameStart) + QStringLiteral("TEMP") + path.mid(nameStart);
}

void removeLeftoverCopy(const QString& copy) {
    if (QFileInfo(copy).isFile()) QFile::remove(copy);
}

namespace {

// The counterpart of the read-only attribute: nobody may write the file. The user's own
// permission is not asked, since an administrator may write anything.
bool isReadOnly(const QString& path) {
    const QFileInfo info(path);
    constexpr QFileDevice::Permissions writers =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.exists() && !(info.permissions() & writers);
}

} // namespace

void replaceWithCopy(const QString& copy, const QString& original) {
    if (isReadOnly(original)) return;
    data::TJetEngine::replaceWithCopy(filePath(copy), filePath(original));
}

} // namespace database
