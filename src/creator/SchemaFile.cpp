#include "creator/SchemaFile.h"

#include "creator/BoxTextFile.h"
#include "creator/MemoText.h"
#include "creator/TrimmedText.h"

namespace creator {

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
