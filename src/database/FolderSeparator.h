#pragma once
// The character that separates folders in the paths the Database page works with.
#include <QChar>
#include <QDir>

namespace database {

// "\" on Windows, "/" elsewhere. The page splits paths at this character only, so a path
// written with the other one is taken as a single name.
inline QChar folderSeparator() {
    return QDir::separator();
}

} // namespace database
