#include "database/JetConnectionStrings.h"

namespace database {

namespace {
const QString provider = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;");
const QString engineType = QStringLiteral(";Jet OLEDB:Engine Type=5");
} // namespace

QString openConnectionString(const QString& path, const QString& password) {
    return provider + QStringLiteral("Data Source=") + path + engineType +
           QStringLiteral(";;Jet OLEDB:Database Password=") + password;
}

QString createConnectionString(const QString& path, const QString& password) {
    return provider + QStringLiteral("Data Source=") + path + engineType +
           QStringLiteral(";Jet OLEDB:Database Password=") + password;
}

QString compactConnectionString(const QString& path) {
    return provider + QStringLiteral(" Data Source=") + path;
}

QString compactConnectionString(const QString& path, const QString& password) {
    return compactConnectionString(path) + QStringLiteral(";Jet OLEDB:Database Password=") +
           password;
}

} // namespace database
