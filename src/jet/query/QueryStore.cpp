#include "jet/query/QueryStore.h"

#include "core/ObjectName.h"
#include "jet/file/Bytes.h"

#include <algorithm>
#include <array>

namespace jet::query {

namespace {

struct Columns {
    std::size_t attribute, expression, flag, extra, name1, name2, objectId, order;
};

// Access 97 files have no LvExtra column; their rows read as if it held Null.
constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);

Columns columnsOf(const TableSchema& schema) {
    auto find = [&](std::string_view name) {
        for (std::size_t i = 0; i < schema.columns.size(); ++i)
            if (core::sameName(schema.columns[i].name, name)) return i;
        return kNoColumn;
    };
    auto at = [&](std::string_view name) {
        const std::size_t i = find(name);
        if (i == kNoColumn) throwDamaged("MSysQueries lacks its column " + std::string(name));
        return i;
    };
    return {at("Attribute"), at("Expression"), at("Flag"),     find("LvExtra"),
            at("Name1"),     at("Name2"),      at("ObjectId"), at("Order")};
}

std::string textOf(const core::Value& v) {
    const auto* s = v.getIf<std::string>();
    return s ? *s : std::string();
}

// Integers as the columns hold them; a column of another width still reads.
std::int64_t numberOf(const core::Value& v) {
    if (const auto* b = v.getIf<std::uint8_t>()) return *b;
    if (const auto* s = v.getIf<std::int16_t>()) return *s;
    if (const auto* l = v.getIf<std::int32_t>()) return *l;
    return 0;
}

bool framing(std::uint8_t attribute) {
    return attribute == static_cast<std::uint8_t>(Attribute::Start) ||
           attribute == static_cast<std::uint8_t>(Attribute::Type) ||
           attribute == static_cast<std::uint8_t>(Attribute::End);
}

} // namespace

std::vector<StoredQueryRow> readQueryRows(const Table& queries, std::int32_t objectId) {
    const Columns c = columnsOf(queries.schema());
    std::vector<StoredQueryRow> rows;
    auto cursor = queries.scan();
    while (cursor.next()) {
        if (numberOf(cursor.value(c.objectId)) != objectId) continue;
        StoredQueryRow stored;
        stored.id = cursor.rowId();
        QueryRow& row = stored.row;
        row.attribute = static_cast<std::uint8_t>(numberOf(cursor.value(c.attribute)));
        row.expression = textOf(cursor.value(c.expression));
        row.flag = static_cast<std::int16_t>(numberOf(cursor.value(c.flag)));
        if (c.extra != kNoColumn)
            row.extra = static_cast<std::int32_t>(numberOf(cursor.value(c.extra)));
        row.name1 = textOf(cursor.value(c.name1));
        row.name2 = textOf(cursor.value(c.name2));
        rows.push_back(std::move(stored));
    }
    return rows;
}

std::vector<core::Value> queryRowValues(const TableSchema& queries, std::int32_t objectId,
                                        const QueryRow& row, std::uint32_t order) {
    const Columns c = columnsOf(queries);
    std::vector<core::Value> values(queries.columns.size());
    values[c.attribute] = core::Value(row.attribute);
    if (!row.expression.empty()) values[c.expression] = core::Value(row.expression);
    values[c.flag] = core::Value(row.flag);
    if (row.extra != 0 && c.extra != kNoColumn) values[c.extra] = core::Value(row.extra);
    if (!row.name1.empty()) values[c.name1] = core::Value(row.name1);
    if (!row.name2.empty()) values[c.name2] = core::Value(row.name2);
    values[c.objectId] = core::Value(objectId);
    // Big-endian, so that the key's byte order is the rows' order.
    values[c.order] = core::Value(
        core::Bytes{static_cast<std::uint8_t>(order >> 24), static_cast<std::uint8_t>(order >> 16),
                    static_cast<std::uint8_t>(order >> 8), static_cast<std::uint8_t>(order)});
    return values;
}

std::vector<QueryRow> framedRows(QueryKind kind, std::vector<QueryRow> body) {
    if (kind != QueryKind::Select && kind != QueryKind::Union)
        throw core::SqlError("Only select and union queries can be saved.");
    for (const QueryRow& row : body)
        if (framing(row.attribute) || row.attribute > static_cast<std::uint8_t>(Attribute::OrderBy))
            throw core::SqlError("A saved query's row has the attribute " +
                                 std::to_string(row.attribute) + ", which it cannot be given.");
    std::stable_sort(body.begin(), body.end(), [](const QueryRow& a, const QueryRow& b) {
        return a.attribute < b.attribute;
    });
    std::vector<QueryRow> rows;
    rows.push_back(makeRow(Attribute::Start));
    rows.push_back(makeRow(Attribute::Type, {},
                           static_cast<std::int16_t>(
                               kind == QueryKind::Union ? QueryType::Union : QueryType::Select)));
    for (auto& row : body) rows.push_back(std::move(row));
    rows.push_back(makeRow(Attribute::End));
    return rows;
}

} // namespace jet::query
