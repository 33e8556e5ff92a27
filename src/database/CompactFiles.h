#pragma once
// The files of Compact Database: the compacted copy is written next to the file under a
// temporary name, then takes the file's place in one step.
#include "database/FolderSeparator.h"

#include <QString>

namespace database {

// "TEMP" followed by the file's name, in the file's folder.
QString temporaryCopyPath(const QString& path, QChar separator = folderSeparator());

// Deletes a copy left over by an earlier run; a copy that cannot be deleted stays, and the
// compaction then refuses to write over it.
void removeLeftoverCopy(const QString& copy);

// Renames the copy over the original in one step, so that at every moment the original's
// name holds either the old file or the whole copy. A read-only original is kept as it is and
// the copy stays beside it. Nothing is reported either way.
void replaceWithCopy(const QString& copy, const QString& original);

} // namespace database
