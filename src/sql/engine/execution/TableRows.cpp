#include "sql/engine/execution/TableRows.h"

#include "core/ObjectName.h"
#include "sql/engine/Prepared.h"
#include "sql/engine/execution/LocatorKeySort.h"
#include "sql/engine/execution/SortKey.h"
#include "sql/syntax/Statement.h"

#include <algorithm>

namespace sql {

namespace {

// Whether the query reads one named source with no clause that drops, adds or computes rows.
bool plainShape(const SelectQuery& q) {
    const SelectBlock& b = q.first;
    if (!q.unions.empty() || q.crosstab || !q.into.empty()) return false;
    if (b.quantifier != SetQuantifier::All || b.top || b.where || !b.groupBy.empty() || b.having)
        return false;
    if (b.from.size() != 1 || !b.from.front()->as<NamedTable>()) return false;
    for (const auto& item : b.items)
        if (item.kind == SelectItem::Kind::Expression && !item.expr->as<ColumnRef>()) return false;
    if (q.orderBy.size() > 1) return false;
    return q.orderBy.empty() || q.orderBy.front().expr->as<ColumnRef>();
}

bool hasAliases(const SelectBlock& b) {
    return std::any_of(b.items.begin(), b.items.end(),
                       [](const SelectItem& item) { return !item.alias.empty(); });
}

} // namespace

TableRows::TableRows(const Storage& storage, TableInfo info, std::vector<ResultColumn> columns)
    : storage_(storage), info_(std::move(info)), table_(info_.name), columns_(std::move(columns)),
      reader_(storage.rowReader(info_.name)) {}

std::unique_ptr<TableRows> TableRows::open(const Storage& storage, const Prepared& prepared) {
    if (!prepared.givesRows()) return nullptr;
    const auto* query = prepared.statement().as<SelectQuery>();
    if (!query || !prepared.parameters().empty() || !plainShape(*query)) return nullptr;
    const std::vector<OrderItem>& order = query->orderBy;
    if (!order.empty() && hasAliases(query->first)) return nullptr;
    if (prepared.baseTables().size() != 1) return nullptr;
    auto info = storage.tableInfo(prepared.baseTables().front());
    if (!info) return nullptr;

    std::unique_ptr<TableRows> rows(new TableRows(storage, std::move(*info), prepared.columns()));
    for (const auto& c : rows->columns_) {
        auto at = c.baseTableIndex == 0 ? rows->info_.findColumn(c.baseColumn) : std::nullopt;
        if (!at) return nullptr;
        rows->tableColumns_.push_back(*at);
    }
    if (!order.empty()) {
        const auto* ref = order.front().expr->as<ColumnRef>();
        const auto& source = *query->first.from.front()->as<NamedTable>();
        if (!ref->table.empty() && !core::sameName(ref->table, source.name) &&
            !core::sameName(ref->table, source.alias))
            return nullptr;
        rows->orderColumn_ = rows->info_.findColumn(ref->column);
        if (!rows->orderColumn_) return nullptr;
        rows->descending_ = order.front().descending;
    }
    return rows;
}

std::vector<RowLocator> TableRows::locators() const {
    if (!orderColumn_) return storage_.rowLocators(table_);
    if (auto ordered = inIndexOrder()) return std::move(*ordered);
    return sortedByValue();
}

std::unique_ptr<RowCursor> TableRows::scan() const {
    return storage_.scan(table_);
}

std::optional<std::vector<RowLocator>> TableRows::inIndexOrder() const {
    const ColumnInfo& column = info_.columns[*orderColumn_];
    if (!indexOrdersLikeSort(column.type)) return std::nullopt;
    // An index of that column alone, holding every row, gives ORDER BY's order; rows of
    // equal keys are then put in stored order, as the sort leaves ties.
    for (const auto& index : info_.indexes) {
        if (index.columns.size() != 1 || index.ignoreNulls ||
            !core::sameName(index.columns.front().name, column.name))
            continue;
        auto walked = storage_.indexOrder(table_, index.name);
        if (!walked) continue;
        const bool reverse = index.columns.front().descending != descending_;
        const std::size_t n = walked->size();
        std::vector<RowLocator> out(n);
        // Walked backwards, each run of equal keys still goes in stored order.
        auto place = [&](std::size_t from, std::size_t to) {
            const std::size_t at = reverse ? n - to : from;
            for (std::size_t i = from; i < to; ++i) out[at + i - from] = (*walked)[i].locator;
            if (to - from > 1)
                std::sort(out.begin() + static_cast<std::ptrdiff_t>(at),
                          out.begin() + static_cast<std::ptrdiff_t>(at + to - from));
        };
        std::size_t run = 0;
        for (std::size_t i = 1; i < n; ++i)
            if (!(*walked)[i].sameKeyAsPrevious) {
                place(run, i);
                run = i;
            }
        if (n > 0) place(run, n);
        return out;
    }
    return std::nullopt;
}

std::vector<RowLocator> TableRows::sortedByValue() const {
    // The sort column's keys as ORDER BY compares them, complemented to sort descending,
    // sorted with the rows' locators as the executor's sort does; ties stay in stored order.
    LocatorKeySort sorted;
    sorted.reserve(storage_.rowCountHint(table_));
    auto cursor = storage_.scan(table_);
    while (cursor->next()) {
        sorted.appendKey(cursor->value(*orderColumn_), descending_);
        sorted.add(cursor->locator());
    }
    sorted.sort();
    return sorted.locators();
}

std::optional<std::vector<core::Value>> TableRows::read(RowLocator locator) const {
    return reader_->read(locator, tableColumns_);
}

core::Value TableRows::readValue(RowLocator locator, std::size_t column) const {
    const std::size_t at[] = {tableColumns_.at(column)};
    auto values = reader_->read(locator, at);
    return values ? std::move(values->front()) : core::Value();
}

std::optional<std::vector<RowLocator>> TableRows::seekEqual(std::size_t column,
                                                            const core::Value& key) const {
    if (key.isNull()) return std::nullopt;
    const ColumnInfo& info = info_.columns[tableColumns_.at(column)];
    for (const auto& index : info_.indexes) {
        if (index.columns.empty() || !core::sameName(index.columns.front().name, info.name))
            continue;
        KeyRange range;
        range.low = KeyBound{{key}, true};
        range.high = KeyBound{{key}, true};
        auto cursor = storage_.seekIndex(table_, index.name, range);
        if (!cursor) continue;
        std::vector<RowLocator> out;
        while (cursor->next()) out.push_back(cursor->locator());
        return out;
    }
    return std::nullopt;
}

} // namespace sql
