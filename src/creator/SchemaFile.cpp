#include "creator/SchemaFile.h"

#include "controls/BoxTextFile.h"
#include "controls/MemoText.h"
#include "controls/TrimmedText.h"

namespace creator {

using controls::memoCapacity;
using controls::readBoxTextFile;
using controls::trimmedText;
using controls::writeBoxTextFile;

QString schemaFileName(const QString& chosenName) {
    return trimmedText(chosenName) + QStringLiteral(".sql");
}

void saveSchemaFile(const QString& path, const QString& schemaText) {
    writeBoxTextFile(path, schemaText);
}

QString loadSchemaFile(const QString& path) {
    return readBoxTextFile(path, memoCapacity);
}

} // namespace creator
