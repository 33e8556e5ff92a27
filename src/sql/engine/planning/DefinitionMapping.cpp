#include "sql/engine/planning/DefinitionMapping.h"

#include "sql/engine/storage/ColumnValues.h"

namespace sql {

ColumnInfo columnInfoFor(const ColumnType& type) {
    ColumnInfo c;
    switch (type.type) {
    case FieldType::Text:
        c.type = jet::ColumnType::Text;
        c.size = type.size ? type.size : maxTextSize;
        break;
    case FieldType::Memo:
        c.type = jet::ColumnType::Memo;
        break;
    case FieldType::Byte:
        c.type = jet::ColumnType::Byte;
        break;
    case FieldType::Integer:
        c.type = jet::ColumnType::Integer;
        break;
    case FieldType::Long:
        c.type = jet::ColumnType::Long;
        break;
    case FieldType::Counter:
        c.type = jet::ColumnType::Long;
        c.autoNumber = true;
        break;
    case FieldType::Single:
        c.type = jet::ColumnType::Single;
        break;
    case FieldType::Double:
        c.type = jet::ColumnType::Double;
        break;
    case FieldType::Currency:
        c.type = jet::ColumnType::Currency;
        break;
    case FieldType::DateTime:
        c.type = jet::ColumnType::DateTime;
        break;
    case FieldType::Boolean:
        c.type = jet::ColumnType::Boolean;
        break;
    case FieldType::Binary:
        c.type = jet::ColumnType::Binary;
        c.size = type.size ? type.size : maxBinarySize;
        break;
    case FieldType::OleObject:
        c.type = jet::ColumnType::Ole;
        break;
    case FieldType::Guid:
        c.type = jet::ColumnType::Guid;
        break;
    case FieldType::Decimal:
        c.type = jet::ColumnType::Numeric;
        c.precision = type.precision ? type.precision : defaultDecimalPrecision;
        c.scale = type.scale;
        break;
    }
    if (c.size == 0) c.size = fixedSize(c.type);
    return c;
}

ColumnDefinition columnDefinitionFor(const ColumnDef& definition, std::string_view text) {
    ColumnDefinition layout;
    layout.column = columnInfoFor(definition.type);
    layout.column.name = definition.name;
    layout.column.required = definition.notNull;
    if (definition.defaultValue)
        layout.column.defaultValue = std::string(
            text.substr(definition.defaultValue->offset,
                        definition.defaultValue->end - definition.defaultValue->offset));
    if (definition.type.type == FieldType::Counter) {
        layout.seed = definition.type.seed;
        layout.increment = definition.type.increment;
    }
    layout.compressed = definition.type.compressed;
    for (const auto& c : definition.constraints)
        if (c.kind == ConstraintKind::NotNull) layout.column.required = true;
    return layout;
}

} // namespace sql
