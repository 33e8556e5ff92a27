#include "sql/engine/storage/MemoryStorage.h"

#include "sql/engine/EngineErrors.h"
#include "sql/engine/execution/SortKey.h"
#include "sql/eval/Comparison.h"
#include "sql/syntax/Printer.h"

#include <algorithm>

namespace sql {

namespace {

// Reads one table by row number, finding the table again at each step so that tables
// created, dropped or restored meanwhile never leave it pointing at freed memory.
class MemoryCursor : public RowCursor {
public:
    MemoryCursor(std::function<const std::map<std::uint32_t, std::vector<core::Value>>*()> rows,
                 std::optional<std::vector<std::uint32_t>> order)
        : rows_(std::move(rows)), order_(std::move(order)) {}

    bool next() override {
        const auto* rows = rows_();
        if (!rows) return false;
        if (order_) {
            while (position_ < order_->size()) {
                auto it = rows->find((*order_)[position_++]);
                if (it != rows->end()) return take(it->first, it->second);
            }
            return false;
        }
        auto it = started_ ? rows->upper_bound(current_) : rows->begin();
        if (it == rows->end()) return false;
        return take(it->first, it->second);
    }
    core::Value value(std::size_t column) const override { return values_.at(column); }
    RowLocator locator() const override { return {current_, 0}; }

private:
    bool take(std::uint32_t number, const std::vector<core::Value>& values) {
        started_ = true;
        current_ = number;
        values_ = values;
        return true;
    }

    std::function<const std::map<std::uint32_t, std::vector<core::Value>>*()> rows_;
    std::optional<std::vector<std::uint32_t>> order_;
    std::size_t position_ = 0;
    bool started_ = false;
    std::uint32_t current_ = 0;
    std::vector<core::Value> values_;
};

std::vector<std::size_t> keyPositions(const TableInfo& info, const IndexInfo& index) {
    std::vector<std::size_t> out;
    for (const auto& k : index.columns)
        if (auto i = info.findColumn(k.name)) out.push_back(*i);
    return out;
}

// <0, 0 or >0 as the row's first key values compare with the bound's values.
int compareBound(const std::vector<core::Value>& row, const std::vector<std::size_t>& positions,
                 const std::vector<core::Value>& bound) {
    for (std::size_t i = 0; i < bound.size() && i < positions.size(); ++i) {
        const int c = sortKey(row[positions[i]]).compare(sortKey(bound[i]));
        if (c != 0) return c;
    }
    return 0;
}

} // namespace

void MemoryStorage::addView(std::string name, std::string sql) {
    changed();
    state_.views.emplace_back(std::move(name), std::move(sql));
}

const MemoryStorage::Table* MemoryStorage::findTable(std::string_view table) const {
    for (const auto& t : state_.tables)
        if (sameName(t.info.name, table)) return &t;
    return nullptr;
}

MemoryStorage::Table& MemoryStorage::find(std::string_view table) {
    // Only changes look a table up for writing.
    changed();
    for (auto& t : state_.tables)
        if (sameName(t.info.name, table)) return t;
    throw core::SqlError(messages::unknownTable(table));
}

std::vector<std::string> MemoryStorage::tableNames() const {
    std::vector<std::string> names;
    for (const auto& t : state_.tables) names.push_back(t.info.name);
    return names;
}

std::vector<std::string> MemoryStorage::viewNames() const {
    std::vector<std::string> names;
    for (const auto& v : state_.views) names.push_back(v.first);
    return names;
}

std::optional<TableInfo> MemoryStorage::tableInfo(std::string_view table) const {
    const Table* t = findTable(table);
    if (!t) return std::nullopt;
    return t->info;
}

std::optional<std::string> MemoryStorage::viewText(std::string_view view) const {
    for (const auto& v : state_.views)
        if (sameName(v.first, view)) return v.second;
    return std::nullopt;
}

void MemoryStorage::createView(std::string_view name, const SelectQuery& query,
                               const std::vector<ParameterDecl>& parameters) {
    if (findTable(name) || viewText(name)) throw core::SqlError(messages::tableExists(name));
    // Kept as the printer writes it, which parses back to the same query.
    std::string text;
    for (std::size_t i = 0; i < parameters.size(); ++i)
        text += (i ? ", " : "parameters ") + toText(parameters[i]);
    if (!text.empty()) text += "; ";
    addView(std::string(name), text + toText(query));
}

void MemoryStorage::dropView(std::string_view name) {
    changed();
    auto& views = state_.views;
    auto it = std::find_if(views.begin(), views.end(),
                           [&](const auto& v) { return sameName(v.first, name); });
    if (it == views.end()) throw core::SqlError(messages::unknownTable(name));
    views.erase(it);
}

std::unique_ptr<RowCursor> MemoryStorage::scan(std::string_view table) const {
    const Table* t = findTable(table);
    if (!t) throw core::SqlError(messages::unknownTable(table));
    ++statistics_.scans;
    std::string name = t->info.name;
    return std::make_unique<MemoryCursor>(
        [this, name]() -> const std::map<std::uint32_t, std::vector<core::Value>>* {
            const Table* current = findTable(name);
            return current ? &current->rows : nullptr;
        },
        std::nullopt);
}

std::unique_ptr<RowCursor> MemoryStorage::seekIndex(std::string_view table, std::string_view index,
                                                    const KeyRange& range) const {
    if (!seeksEnabled_) return nullptr;
    const Table* t = findTable(table);
    if (!t) throw core::SqlError(messages::unknownTable(table));
    const IndexInfo* info = t->info.findIndex(index);
    if (!info) return nullptr;
    ++statistics_.seeks;
    const auto positions = keyPositions(t->info, *info);
    // The rows in the range, in ascending key order as an index walk gives them.
    std::vector<std::pair<std::string, std::uint32_t>> hits;
    for (const auto& [number, row] : t->rows) {
        if (range.low) {
            const int c = compareBound(row, positions, range.low->values);
            if (c < 0 || (c == 0 && !range.low->inclusive)) continue;
        }
        if (range.high) {
            const int c = compareBound(row, positions, range.high->values);
            if (c > 0 || (c == 0 && !range.high->inclusive)) continue;
        }
        // Null never matches a key.
        bool nullKey = false;
        const std::size_t bounded = std::max(range.low ? range.low->values.size() : 0,
                                             range.high ? range.high->values.size() : 0);
        for (std::size_t i = 0; i < bounded && i < positions.size(); ++i)
            nullKey = nullKey || row[positions[i]].isNull();
        if (nullKey) continue;
        std::string key;
        for (std::size_t p : positions) appendSortKey(key, row[p]);
        hits.emplace_back(std::move(key), number);
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::uint32_t> order;
    for (const auto& h : hits) order.push_back(h.second);
    std::string name = t->info.name;
    return std::make_unique<MemoryCursor>(
        [this, name]() -> const std::map<std::uint32_t, std::vector<core::Value>>* {
            const Table* current = findTable(name);
            return current ? &current->rows : nullptr;
        },
        std::move(order));
}

std::optional<std::vector<core::Value>> MemoryStorage::readRow(std::string_view table,
                                                               RowLocator locator) const {
    const Table* t = findTable(table);
    if (!t) return std::nullopt;
    auto it = t->rows.find(locator.page);
    if (it == t->rows.end() || locator.slot != 0) return std::nullopt;
    return it->second;
}

void MemoryStorage::createTable(const TableDefinition& layout) {
    changed();
    if (findTable(layout.name)) throw core::SqlError(messages::tableExists(layout.name));
    Table t;
    t.info.name = layout.name;
    for (const auto& c : layout.columns) {
        t.info.columns.push_back(c.column);
        t.definitions.push_back(c);
        if (c.column.autoNumber && c.column.type == jet::ColumnType::Long) {
            t.counter = c.seed;
            t.increment = c.increment == 0 ? 1 : c.increment;
        }
    }
    t.info.indexes = layout.indexes;
    state_.tables.push_back(std::move(t));
    for (const auto& key : layout.foreignKeys) addForeignKey(layout.name, key);
}

void MemoryStorage::dropTable(std::string_view table) {
    changed();
    auto& tables = state_.tables;
    auto it = std::find_if(tables.begin(), tables.end(),
                           [&](const Table& t) { return sameName(t.info.name, table); });
    if (it == tables.end()) throw core::SqlError(messages::tableMissing(table));
    tables.erase(it);
}

void MemoryStorage::checkUnique(const Table& t, const std::vector<core::Value>& row,
                                std::optional<std::uint32_t> self) const {
    for (const auto& index : t.info.indexes) {
        if (!index.unique && !index.primary) continue;
        const auto positions = keyPositions(t.info, index);
        // Jet lets any number of rows hold Null in a unique key.
        if (std::any_of(positions.begin(), positions.end(),
                        [&](std::size_t p) { return row[p].isNull(); }))
            continue;
        std::string key;
        for (std::size_t p : positions) appendSortKey(key, row[p]);
        for (const auto& [number, other] : t.rows) {
            if (self && number == *self) continue;
            std::string otherKey;
            for (std::size_t p : positions) appendSortKey(otherKey, other[p]);
            if (otherKey == key)
                throw core::ConstraintError(std::string(messages::duplicateValues));
        }
    }
}

void MemoryStorage::createIndex(std::string_view table, const IndexInfo& index) {
    Table& t = find(table);
    if (t.info.findIndex(index.name))
        throw core::SqlError(messages::indexExists(t.info.name, index.name));
    t.info.indexes.push_back(index);
    try {
        for (const auto& [number, row] : t.rows) checkUnique(t, row, number);
    } catch (...) {
        t.info.indexes.pop_back();
        throw;
    }
}

void MemoryStorage::dropIndex(std::string_view table, std::string_view index) {
    Table& t = find(table);
    auto& list = t.info.indexes;
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const IndexInfo& i) { return sameName(i.name, index); });
    if (it == list.end()) throw core::SqlError(messages::indexMissing(index, t.info.name));
    list.erase(it);
}

void MemoryStorage::addColumn(std::string_view table, const ColumnDefinition& column) {
    Table& t = find(table);
    t.info.columns.push_back(column.column);
    t.definitions.push_back(column);
    if (column.column.autoNumber && column.column.type == jet::ColumnType::Long) {
        t.counter = column.seed;
        t.increment = column.increment == 0 ? 1 : column.increment;
    }
    for (auto& [number, row] : t.rows) {
        row.emplace_back();
        // A counter added to a table with rows numbers them, as Jet does.
        if (column.column.autoNumber) row.back() = nextAutoNumber(t.info.name, column.column.name);
    }
}

void MemoryStorage::dropColumn(std::string_view table, std::string_view column) {
    Table& t = find(table);
    auto i = t.info.findColumn(column);
    if (!i) throw core::SqlError(messages::fieldMissing(column, t.info.name));
    const auto at = static_cast<std::ptrdiff_t>(*i);
    t.info.columns.erase(t.info.columns.begin() + at);
    t.definitions.erase(t.definitions.begin() + at);
    for (auto& [number, row] : t.rows) row.erase(row.begin() + at);
}

void MemoryStorage::alterColumn(std::string_view table, const ColumnDefinition& column,
                                const std::function<core::Value(const core::Value&)>& convert) {
    Table& t = find(table);
    auto i = t.info.findColumn(column.column.name);
    if (!i) throw core::SqlError(messages::fieldMissing(column.column.name, t.info.name));
    std::map<std::uint32_t, core::Value> converted;
    for (const auto& [number, row] : t.rows) converted[number] = convert(row[*i]);
    t.info.columns[*i] = column.column;
    t.definitions[*i] = column;
    for (auto& [number, row] : t.rows) row[*i] = std::move(converted[number]);
}

void MemoryStorage::addForeignKey(std::string_view table, const ForeignKeyInfo& key) {
    if (key.indexed) {
        IndexInfo index;
        index.name = key.name;
        for (const auto& column : key.columns) index.columns.push_back({column, false});
        createIndex(table, index);
    }
    find(table).info.foreignKeys.push_back(key);
}

void MemoryStorage::dropForeignKey(std::string_view table, std::string_view name) {
    auto& keys = find(table).info.foreignKeys;
    keys.erase(std::remove_if(keys.begin(), keys.end(),
                              [&](const ForeignKeyInfo& k) { return sameName(k.name, name); }),
               keys.end());
}

core::Value MemoryStorage::nextAutoNumber(std::string_view table, std::string_view column) {
    Table& t = find(table);
    auto i = t.info.findColumn(column);
    if (!i || !t.info.columns[*i].autoNumber)
        throw core::SqlError(messages::fieldMissing(column, t.info.name));
    if (t.info.columns[*i].type == jet::ColumnType::Guid) {
        // Made up from a count, unique within the table, in the layout of a random GUID.
        core::Guid g;
        const std::uint64_t n = ++t.guids;
        for (int b = 0; b < 8; ++b)
            g.bytes[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(n >> (8 * b));
        g.bytes[7] = static_cast<std::uint8_t>((g.bytes[7] & 0x0F) | 0x40);
        g.bytes[8] = 0x80;
        for (std::size_t b = 9; b < 16; ++b) g.bytes[b] = static_cast<std::uint8_t>(0x5A ^ b);
        return core::Value(g);
    }
    const std::int64_t n = t.counter;
    t.counter += t.increment;
    return core::Value(static_cast<std::int32_t>(n));
}

void MemoryStorage::noteCounter(Table& t, const std::vector<core::Value>& row) {
    for (std::size_t i = 0; i < t.info.columns.size(); ++i) {
        const auto& c = t.info.columns[i];
        if (!c.autoNumber || c.type != jet::ColumnType::Long) continue;
        if (const auto* v = row[i].getIf<std::int32_t>(); v && t.increment > 0 && *v >= t.counter)
            t.counter = std::int64_t{*v} + t.increment;
    }
}

RowLocator MemoryStorage::insertRow(std::string_view table, std::vector<core::Value> row) {
    Table& t = find(table);
    row.resize(t.info.columns.size());
    checkUnique(t, row, std::nullopt);
    noteCounter(t, row);
    const std::uint32_t number = t.nextRow++;
    t.rows.emplace(number, std::move(row));
    return {number, 0};
}

void MemoryStorage::updateRow(std::string_view table, RowLocator locator,
                              std::vector<core::Value> row) {
    Table& t = find(table);
    auto it = t.rows.find(locator.page);
    if (it == t.rows.end()) throw core::SqlError(std::string(messages::recordDeleted));
    row.resize(t.info.columns.size());
    checkUnique(t, row, locator.page);
    noteCounter(t, row);
    it->second = std::move(row);
}

void MemoryStorage::deleteRow(std::string_view table, RowLocator locator) {
    Table& t = find(table);
    if (t.rows.erase(locator.page) == 0) throw core::SqlError(std::string(messages::recordDeleted));
}

void MemoryStorage::begin() {
    saved_.push_back(state_);
}

void MemoryStorage::commit() {
    if (saved_.empty()) throw core::SqlError(std::string(messages::noTransaction));
    saved_.pop_back();
}

void MemoryStorage::rollback() {
    changed();
    if (saved_.empty()) throw core::SqlError(std::string(messages::noTransaction));
    state_ = std::move(saved_.back());
    saved_.pop_back();
}

void MemoryStorage::beginStatement() {
    saved_.push_back(state_);
}

void MemoryStorage::endStatement(bool succeeded) {
    changed();
    if (saved_.empty()) return;
    if (!succeeded) state_ = std::move(saved_.back());
    saved_.pop_back();
}

} // namespace sql
