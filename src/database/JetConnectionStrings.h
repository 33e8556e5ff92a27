#pragma once
// The connection strings the Database page hands to the access layer, each exactly as its
// action has always written it: the files Tablory makes and opens depend on these texts only.
#include <QString>

namespace database {

// Open: the engine type, then two semicolons before the password, which is sent even when
// empty. Neither the path nor the password is quoted or escaped.
QString openConnectionString(const QString& path, const QString& password);
// Create New: as Open, but one semicolon before the password.
QString createConnectionString(const QString& path, const QString& password);
// Compact Database, for the source and the copy alike: a blank after the semicolon, no engine
// type and no password.
QString compactConnectionString(const QString& path);
// The source string of Compact Database with the password typed in dbpass added, for a file
// that refuses the plain string for want of its password.
QString compactConnectionString(const QString& path, const QString& password);

} // namespace database
