#pragma once
// The Query Builder's statement and the entries its picks write: text joined as it stands,
// never parsed, so the boxes' line breaks stay inside the statement.
#include <QString>

namespace builder {

// "[" + table + "].[" + column + "]": a select entry, as ColumnList records it.
QString selectEntry(const QString& table, const QString& column);
// "[" + table + "]": a from entry, as TableList records it.
QString fromEntry(const QString& table);

// "select " + select + " from " + from, then " where " + where unless where is empty (a
// blank or a lone line break counts as a condition).
QString queryStatement(const QString& select, const QString& from, const QString& where);

} // namespace builder
