#pragma once
// Schema files: the schema text of the Table Creator saved as a box text file with the
// extension ".sql", and read back from any file.
#include <QString>

namespace creator {

// The file "Export Schema" writes for the name chosen in the save dialog: the name trimmed,
// then ".sql", whatever the name already ends with.
QString schemaFileName(const QString& chosenName);

void saveSchemaFile(const QString& path, const QString& schemaText);
// The file's text with CR LF line breaks, no longer than the schema box holds.
QString loadSchemaFile(const QString& path);

} // namespace creator
