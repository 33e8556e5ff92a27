#pragma once
// The names one query block can see: the sources of its FROM clause with their columns and
// where those sit in the block's rows, and the scope of the query it is nested in.
#include "core/Value.h"
#include "sql/engine/execution/Operator.h"
#include "sql/engine/storage/TableInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sql {

struct ScopeColumn {
    std::string name;
    core::DataType type = core::DataType::Null;
    std::optional<ColumnInfo> info; // the stored column, for base tables
};

struct ScopeSource {
    std::string name;      // what qualifies its columns: the alias, else the table's name
    std::string baseTable; // the real name of a base table; empty for subqueries and queries
    std::optional<std::size_t> locator; // which of the block's base tables it is
    SlotRange slots;
    std::vector<ScopeColumn> columns;
    bool allColumns = false; // read every column even if no expression names it (UPDATE)
};

// What the grouping of a block makes of its rows: after GROUP BY a row holds the grouping
// values, then the aggregates. Set while expressions over grouped rows are bound, so that
// subqueries in them see the grouped row too.
struct GroupedView {
    std::size_t groupCount = 0;
    // For each grouping value that is a plain column of the block: its slot before grouping.
    std::vector<std::optional<std::size_t>> plainSlots;
};

// A column found by name: how many blocks out, its slot there, and what it is.
struct ResolvedColumn {
    int depth = 0;
    std::size_t slot = 0;
    const ScopeSource* source = nullptr;
    const ScopeColumn* column = nullptr;
};

class Scope {
public:
    explicit Scope(Scope* outer = nullptr) : outer_(outer) {}

    Scope* outer() const { return outer_; }
    std::vector<ScopeSource>& sources() { return sources_; }
    const std::vector<ScopeSource>& sources() const { return sources_; }
    const ScopeSource* findSource(std::string_view name) const;

    // Adds a source after the ones already there and gives it its slots (and a locator when
    // it is a base table).
    ScopeSource& addSource(ScopeSource source);
    std::size_t width() const { return width_; }
    std::size_t locatorCount() const { return locatorCount_; }

    enum class Lookup { Found, Missing, Ambiguous };
    // Looks a column up in this block only. A qualified name whose qualifier names no
    // source here is Missing; one whose qualifier names a source without that column too.
    Lookup lookup(std::string_view table, std::string_view column, ResolvedColumn& found) const;
    // Whether the qualifier names a source of this block.
    bool hasQualifier(std::string_view table) const { return findSource(table) != nullptr; }

    // Columns of enclosing blocks this block's expressions read: (depth, slot).
    std::vector<std::pair<int, int>>& outerColumns() { return outerColumns_; }

    const GroupedView* grouped() const { return grouped_; }
    void setGrouped(const GroupedView* view) { grouped_ = view; }

private:
    Scope* outer_;
    std::vector<ScopeSource> sources_;
    std::size_t width_ = 0;
    std::size_t locatorCount_ = 0;
    std::vector<std::pair<int, int>> outerColumns_;
    const GroupedView* grouped_ = nullptr;
};

} // namespace sql
