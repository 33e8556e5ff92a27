#pragma once
// One column of the schema text as Jet SQL: the line "Add to Schema" and "Last Column" append,
// built from the settings of the column form. Nothing in it is checked or escaped; the
// database judges the statement when it runs.
#include <QString>
#include <QStringList>

#include <optional>

namespace creator {

struct ColumnSettings {
    QString name;
    QString type; // one of columnTypeNames(), or anything else while no type is chosen
    QString length;
    bool notNull = false;
    bool withDefault = false;
    QString defaultValue;
};

// The items of the type box, in the order the box lists them.
QStringList columnTypeNames();

// The line for the column, ending with the terminator ("," for one more column, ")" for the
// last); nothing when the type is not one of the known names. Name, length and default value
// go in trimmed of blanks and control characters.
std::optional<QString> columnDefinition(const ColumnSettings& column, QChar terminator);

} // namespace creator
