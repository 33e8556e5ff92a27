#pragma once
// Paths between the window's texts and the file system.
#include <QString>

#include <filesystem>

namespace database {

// A name chosen in a file dialog as the user reads and types paths on this platform.
QString nativePath(const QString& chosen);
// The file system's path for a text, in the encoding the platform gives file names.
std::filesystem::path filePath(const QString& path);

} // namespace database
