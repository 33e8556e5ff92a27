#include "database/CompactFiles.h"

#include "database/NativePath.h"
#include "jet/file/OsFile.h"

#include <QFile>
#include <QFileInfo>

#include <system_error>

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
    const std::filesystem::path from = filePath(copy);
    const std::filesystem::path to = filePath(original);
    // One rename replaces the old file: there is no moment without a file under its name, and
    // a failure leaves the old file where it was.
    std::error_code failed;
    std::filesystem::rename(from, to, failed);
    if (failed) return;
    // The copy was made durable when its compaction committed; this makes its new name so.
    try {
        jet::syncFolderOf(to);
    } catch (const std::exception&) {
        // The rename itself has happened; only its durability on a power cut is uncertain.
    }
}

} // namespace database
