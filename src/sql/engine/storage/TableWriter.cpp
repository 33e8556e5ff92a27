#include "sql/engine/storage/TableWriter.h"

#include "sql/engine/EngineErrors.h"
#include "sql/engine/planning/CompileContext.h"
#include "sql/engine/planning/ExpressionBinder.h"
#include "sql/engine/planning/ParameterTable.h"
#include "sql/engine/planning/Scope.h"
#include "sql/engine/storage/ColumnValues.h"
#include "sql/eval/Comparison.h"
#include "sql/syntax/Parser.h"
#include "sql/syntax/SyntaxError.h"

#include <algorithm>

namespace sql {

namespace {

bool sameValues(const std::vector<core::Value>& a, const std::vector<core::Value>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].isNull() != b[i].isNull()) return false;
        if (a[i].isNull()) continue;
        auto order = compareValues(a[i], b[i]);
        if (!order || *order != 0) return false;
    }
    return true;
}

std::vector<core::Value> pick(const TableInfo& table, const std::vector<core::Value>& row,
                              const std::vector<std::string>& columns) {
    std::vector<core::Value> out;
    for (const auto& name : columns) {
        auto i = table.findColumn(name);
        out.push_back(i ? row[*i] : core::Value());
    }
    return out;
}

bool anyNull(const std::vector<core::Value>& values) {
    return std::any_of(values.begin(), values.end(),
                       [](const core::Value& v) { return v.isNull(); });
}

} // namespace

TableWriter::TableWriter(Storage& storage, const Runtime& rt, TableInfo table)
    : storage_(storage), rt_(rt), table_(std::move(table)), defaults_(table_.columns.size()) {}

TableWriter::~TableWriter() = default;
TableWriter::TableWriter(TableWriter&&) noexcept = default;

core::Value TableWriter::defaultValue(std::size_t column) {
    const ColumnInfo& c = table_.columns[column];
    if (c.defaultValue.empty()) return {};
    if (!defaults_[column]) {
        std::string_view text = c.defaultValue;
        // Access keeps some defaults as "=expression".
        while (!text.empty() && (text.front() == '=' || text.front() == ' ')) text.remove_prefix(1);
        ParameterTable parameters;
        CompileContext context{storage_, parameters};
        Scope scope;
        ExpressionBinder binder(context, scope, text);
        BoundPtr bound;
        try {
            bound = binder.bind(*parseExpression(text));
        } catch (const core::SqlError&) {
            throw core::SqlError(messages::badDefault(c.name));
        }
        if (parameters.size() != 0) throw core::SqlError(messages::badDefault(c.name));
        defaults_[column] = std::move(bound);
    }
    Runtime bare{rt_.storage, rt_.eval, {}};
    return toColumnValue(c, (*defaults_[column])->eval(bare, Frame{}));
}

void TableWriter::check(const std::vector<core::Value>& row) const {
    for (std::size_t i = 0; i < table_.columns.size(); ++i) {
        const ColumnInfo& c = table_.columns[i];
        if (row[i].isNull()) {
            if (c.required)
                throw core::ConstraintError(messages::fieldRequired(table_.name, c.name));
        } else if (!fitsColumn(c, row[i])) {
            throw core::ConstraintError(std::string(messages::fieldTooSmall));
        }
    }
    for (const auto& index : table_.indexes) {
        if (!index.primary && !index.disallowNull) continue;
        for (const auto& key : index.columns)
            if (auto i = table_.findColumn(key.name); i && row[*i].isNull())
                throw core::ConstraintError(std::string(messages::nullInIndex));
    }
}

std::vector<std::pair<RowLocator, std::vector<core::Value>>>
TableWriter::rowsWith(const TableInfo& table, const std::vector<std::string>& columns,
                      const std::vector<core::Value>& values) const {
    std::vector<std::size_t> positions;
    for (const auto& name : columns) {
        auto i = table.findColumn(name);
        if (!i) throw core::SqlError(messages::fieldMissing(name, table.name));
        positions.push_back(*i);
    }
    std::vector<std::pair<RowLocator, std::vector<core::Value>>> out;
    std::unique_ptr<RowCursor> cursor = seekKey(table, positions, values);
    if (!cursor) cursor = storage_.scan(table.name);
    while (cursor->next()) {
        std::vector<core::Value> key;
        for (std::size_t p : positions) key.push_back(cursor->value(p));
        if (!sameValues(key, values)) continue;
        std::vector<core::Value> row;
        for (std::size_t i = 0; i < table.columns.size(); ++i) row.push_back(cursor->value(i));
        out.emplace_back(cursor->locator(), std::move(row));
    }
    return out;
}

std::unique_ptr<RowCursor> TableWriter::seekKey(const TableInfo& table,
                                                const std::vector<std::size_t>& positions,
                                                const std::vector<core::Value>& values) const {
    // An index that starts with exactly these columns finds the rows without a scan.
    for (const auto& index : table.indexes) {
        if (index.columns.size() < positions.size()) continue;
        bool leading = true;
        for (std::size_t i = 0; i < positions.size() && leading; ++i)
            leading = sameName(index.columns[i].name, table.columns[positions[i]].name);
        if (!leading) continue;
        KeyBound key;
        try {
            for (std::size_t i = 0; i < positions.size(); ++i)
                key.values.push_back(toColumnValue(table.columns[positions[i]], values[i]));
        } catch (const core::Error&) {
            return nullptr;
        }
        if (!sameValues(key.values, values)) return nullptr;
        return storage_.seekIndex(table.name, index.name, KeyRange{key, key});
    }
    return nullptr;
}

void TableWriter::checkReferences(const std::vector<core::Value>& row,
                                  const std::vector<core::Value>* old) const {
    for (const auto& fk : table_.foreignKeys) {
        auto values = pick(table_, row, fk.columns);
        if (anyNull(values)) continue;
        if (old && sameValues(values, pick(table_, *old, fk.columns))) continue;
        auto referenced = storage_.tableInfo(fk.referencedTable);
        if (!referenced) continue;
        std::vector<std::string> columns = fk.referencedColumns;
        if (columns.empty())
            if (const IndexInfo* pk = referenced->primaryKey())
                for (const auto& k : pk->columns) columns.push_back(k.name);
        if (rowsWith(*referenced, columns, values).empty())
            throw core::ConstraintError(messages::relatedRecordRequired(referenced->name));
    }
}

const std::vector<TableWriter::Referrer>& TableWriter::referrers() {
    if (!referrers_) {
        std::vector<Referrer> found;
        for (const auto& name : storage_.tableNames()) {
            auto info = storage_.tableInfo(name);
            if (!info) continue;
            for (const auto& fk : info->foreignKeys)
                if (sameName(fk.referencedTable, table_.name)) found.push_back({info->name, fk});
        }
        referrers_ = std::move(found);
    }
    return *referrers_;
}

void TableWriter::applyToReferrers(const std::vector<core::Value>& old,
                                   const std::vector<core::Value>* replacement) {
    for (const auto& r : referrers()) {
        std::vector<std::string> keyColumns = r.key.referencedColumns;
        if (keyColumns.empty())
            if (const IndexInfo* pk = table_.primaryKey())
                for (const auto& k : pk->columns) keyColumns.push_back(k.name);
        auto oldKey = pick(table_, old, keyColumns);
        if (anyNull(oldKey)) continue;
        std::vector<core::Value> newKey;
        if (replacement) {
            newKey = pick(table_, *replacement, keyColumns);
            if (sameValues(oldKey, newKey)) continue;
        }
        auto referrerInfo = storage_.tableInfo(r.table);
        if (!referrerInfo) continue;
        auto rows = rowsWith(*referrerInfo, r.key.columns, oldKey);
        if (rows.empty()) continue;
        const bool cascade = replacement ? r.key.cascadeUpdates : r.key.cascadeDeletes;
        if (!cascade && !r.key.cascadeSetNull)
            throw core::ConstraintError(messages::relatedRecordsExist(referrerInfo->name));
        TableWriter writer(storage_, rt_, *referrerInfo);
        for (auto& [locator, values] : rows) {
            if (!replacement && cascade) {
                writer.remove(locator, values);
                continue;
            }
            std::vector<std::optional<core::Value>> changes(referrerInfo->columns.size());
            for (std::size_t k = 0; k < r.key.columns.size(); ++k)
                if (auto i = referrerInfo->findColumn(r.key.columns[k]))
                    changes[*i] = cascade ? newKey[k] : core::Value();
            writer.update(locator, values, changes);
        }
    }
}

StoredRow TableWriter::insert(const std::vector<std::optional<core::Value>>& given) {
    std::vector<core::Value> row(table_.columns.size());
    for (std::size_t i = 0; i < row.size(); ++i) {
        const ColumnInfo& c = table_.columns[i];
        if (i < given.size() && given[i])
            row[i] = toColumnValue(c, *given[i]);
        else if (!c.autoNumber)
            row[i] = defaultValue(i);
        if (c.autoNumber && row[i].isNull()) row[i] = storage_.nextAutoNumber(table_.name, c.name);
    }
    check(row);
    checkReferences(row, nullptr);
    RowLocator locator = storage_.insertRow(table_.name, row);
    return {locator, std::move(row)};
}

StoredRow TableWriter::update(RowLocator locator, const std::vector<core::Value>& old,
                              const std::vector<std::optional<core::Value>>& changes) {
    std::vector<core::Value> row = old;
    row.resize(table_.columns.size());
    for (std::size_t i = 0; i < row.size() && i < changes.size(); ++i) {
        if (!changes[i]) continue;
        const ColumnInfo& c = table_.columns[i];
        if (c.autoNumber) throw core::SqlError(messages::fieldNotUpdatable(c.name));
        row[i] = toColumnValue(c, *changes[i]);
    }
    check(row);
    checkReferences(row, &old);
    // The new key is stored first so that rows a cascade moves onto it find it.
    storage_.updateRow(table_.name, locator, row);
    applyToReferrers(old, &row);
    return {locator, std::move(row)};
}

void TableWriter::remove(RowLocator locator, const std::vector<core::Value>& old) {
    applyToReferrers(old, nullptr);
    storage_.deleteRow(table_.name, locator);
}

} // namespace sql
