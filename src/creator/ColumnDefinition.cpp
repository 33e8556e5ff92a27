#include "creator/ColumnDefinition.h"

#include "controls/TrimmedText.h"

#include <array>

namespace creator {

using controls::trimmedText;

namespace {

// What a type does with the default settings of the form.
enum class DefaultPart {
    None,       // ignores "Default" and its value
    Plain,      // " default " and the value as typed
    Quoted,     // " default " and the value between double quotes
    MemoQuoted, // " default  " (two blanks) and the value between double quotes
    True,       // " default true"; the value is not used
};

struct ColumnType {
    const char* item;
    const char* keyword; // follows "[" and the name; TEXT's also takes the length and ")"
    bool takesLength;
    bool takesNotNull;
    DefaultPart defaultPart;
};

constexpr std::array<ColumnType, 11> columnTypes{{
    {"TEXT", "] text(", true, true, DefaultPart::Quoted},
    {"COUNTER", "] counter", false, false, DefaultPart::None},
    {"FLOAT", "] float", false, true, DefaultPart::Plain},
    {"INTEGER", "] integer", false, true, DefaultPart::Plain},
    {"CURRENCY", "] currency", false, true, DefaultPart::Plain},
    {"BLOB", "] longbinary", false, false, DefaultPart::None},
    {"YES/NO", "] yesno", false, false, DefaultPart::True},
    {"MEMO", "] memo", false, true, DefaultPart::MemoQuoted},
    {"DATE", "] date", false, false, DefaultPart::None},
    {"DATETIME", "] datetime", false, false, DefaultPart::None},
    {"TIME", "] time", false, false, DefaultPart::None},
}};

const ColumnType* findType(const QString& item) {
    // Exact and case-sensitive, as the box offers its items.
    for (const ColumnType& type : columnTypes)
        if (item == QLatin1String(type.item)) return &type;
    return nullptr;
}

QString defaultClause(DefaultPart part, const QString& value) {
    const QChar quote = QLatin1Char('"');
    switch (part) {
    case DefaultPart::None:
        return {};
    case DefaultPart::Plain:
        return QStringLiteral(" default ") + value;
    case DefaultPart::Quoted:
        return QStringLiteral(" default ") + quote + value + quote;
    case DefaultPart::MemoQuoted:
        return QStringLiteral(" default  ") + quote + value + quote;
    case DefaultPart::True:
        return QStringLiteral(" default true");
    }
    return {};
}

} // namespace

QStringList columnTypeNames() {
    QStringList names;
    for (const ColumnType& type : columnTypes) names << QLatin1String(type.item);
    return names;
}

std::optional<QString> columnDefinition(const ColumnSettings& column, QChar terminator) {
    const ColumnType* type = findType(column.type);
    if (!type) return std::nullopt;
    QString line = QLatin1Char('[') + trimmedText(column.name) + QLatin1String(type->keyword);
    if (type->takesLength) line += trimmedText(column.length) + QLatin1Char(')');
    if (type->takesNotNull && column.notNull) line += QStringLiteral(" not null");
    if (column.withDefault)
        line += defaultClause(type->defaultPart, trimmedText(column.defaultValue));
    return line + terminator;
}

} // namespace creator
