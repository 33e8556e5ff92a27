#include "database/FolderCreation.h"

#include <QDir>
#include <QFileInfo>

namespace database {

QStringList folderPrefixes(const QString& path, QChar separator) {
    QStringList prefixes;
    // The prefix grows by whole steps up to and including each separator, exactly as the
    // rest of the path is consumed from the front.
    for (qsizetype end = path.indexOf(separator); end >= 0;
         end = path.indexOf(separator, end + 1)) {
        const QString prefix = path.left(end + 1);
        if (prefix.size() > 4) prefixes << prefix;
    }
    return prefixes;
}

void createMissingFolders(const QString& path, QChar separator) {
    for (const QString& folder : folderPrefixes(path, separator)) {
        if (QFileInfo(folder).isDir()) continue;
        // Only this level: the parents were dealt with by the shorter prefixes.
        QDir().mkdir(folder);
    }
}

} // namespace database
