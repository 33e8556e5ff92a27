#include "builder/QueryStatement.h"

namespace builder {

QString selectEntry(const QString& table, const QString& column) {
    return QLatin1Char('[') + table + QStringLiteral("].[") + column + QLatin1Char(']');
}

QString fromEntry(const QString& table) {
    return QLatin1Char('[') + table + QLatin1Char(']');
}

QString queryStatement(const QString& select, const QString& from, const QString& where) {
    QString statement = QStringLiteral("select ") + select + QStringLiteral(" from ") + from;
    if (!where.isEmpty()) statement += QStringLiteral(" where ") + where;
    return statement;
}

} // namespace builder
