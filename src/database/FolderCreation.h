#pragma once
// Create New makes the missing folders of the path typed in dbname before it makes the file,
// one level per prefix of the path, at the platform's folder separator only.
#include "database/FolderSeparator.h"

#include <QChar>
#include <QString>
#include <QStringList>

namespace database {

// The prefixes of the path that end at a separator (separator included) and are longer than
// four characters, shortest first; the text after the last separator is the file name and
// gives none. The length rule keeps a drive ("c:\") and very short prefixes ("\ab\", "/ab/")
// from ever being created.
QStringList folderPrefixes(const QString& path, QChar separator);

// Creates each prefix that is not a folder yet, one level at a time. A folder that cannot be
// created is passed over without a word: the file's creation reports the path if it matters.
void createMissingFolders(const QString& path, QChar separator = folderSeparator());

} // namespace database
