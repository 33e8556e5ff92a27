#pragma once
// The tables the SQL engine runs on. The engine reads and writes only through this
// interface, so the same statements run on a Jet file (JetStorage) and on tables in memory
// (MemoryStorage).
//
// Who does what on a write: the engine resolves names and checks them against the catalog,
// fills in defaults, asks nextAutoNumber() for the number of a counter given no value,
// converts every value to its column's type, and checks Required, sizes and relationships.
// The storage stores the complete row it is given, keeps unique and primary indexes unique
// (raising core::ConstraintError with duplicateValuesMessage()), keeps its counters past any
// number stored explicitly into a counter column, and makes statements and transactions
// atomic.
#include "core/Error.h"
#include "core/Value.h"
#include "sql/engine/storage/RowLocator.h"
#include "sql/engine/storage/SchemaChange.h"
#include "sql/engine/storage/TableInfo.h"
#include "sql/syntax/Statement.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sql {

// Walks rows of one table; values are decoded only when asked for.
class RowCursor {
public:
    virtual ~RowCursor() = default;
    // Moves to the next row; false at the end.
    virtual bool next() = 0;
    // The current row's value of the column at this position in TableInfo::columns.
    virtual core::Value value(std::size_t column) const = 0;
    virtual RowLocator locator() const = 0;
};

// Reads rows of one table by their locators, the table looked up once for many reads (a sort
// reading rows back in key order, a data set reading the rows it shows).
class RowReader {
public:
    virtual ~RowReader() = default;
    // Every column of the row; nullopt when the locator names no live row of the table.
    virtual std::optional<std::vector<core::Value>> read(RowLocator locator) const = 0;
    // The values of the columns at these positions in TableInfo::columns, in that order;
    // nullopt when the locator names no live row of the table.
    virtual std::optional<std::vector<core::Value>>
    read(RowLocator locator, std::span<const std::size_t> columns) const = 0;
    // Where the row's bytes are, which a stored-order scan names it by: its locator, or the
    // slot it moved to when it outgrew its page; nullopt when it names no live row.
    virtual std::optional<RowLocator> place(RowLocator locator) const {
        return read(locator, {}) ? std::optional(locator) : std::nullopt;
    }
};

// A table's stored order as its data pages, read a few at a time from either end, for a
// caller that wants the last rows, or the place of one row, without listing every row first.
// The pages are those the table had when this was made; the rows are read as they are now.
class StoredPages {
public:
    virtual ~StoredPages() = default;
    // How many pages there are; a page is named by its place in stored order.
    virtual std::size_t pageCount() const = 0;
    // The place of the page that holds a row at this locator (of the first page past it when
    // no page holds it).
    virtual std::size_t placeOf(RowLocator locator) const = 0;
    // Appends the rows of the pages at places [from, to), in stored order.
    virtual void rows(std::size_t from, std::size_t to, std::vector<RowLocator>& into) const = 0;
    // How many rows the table held when this was made, by the count its definition keeps.
    virtual std::size_t rowCount() const = 0;
};

// A row's place in an index walk: its locator, and whether its key equals the key of the
// entry before it (so that ties can be told apart from ordered rows).
struct IndexedRow {
    RowLocator locator;
    bool sameKeyAsPrevious = false;
};

// One end of a key range: values for the leading columns of an index, in index order,
// already converted to the columns' types. Ranges are in value order, whatever the index's
// direction.
struct KeyBound {
    std::vector<core::Value> values;
    bool inclusive = true;
};

// An absent bound leaves that end open. low and high with equal values and both inclusive
// ask for equality on those columns.
struct KeyRange {
    std::optional<KeyBound> low;
    std::optional<KeyBound> high;
};

// A change stamp no storage of this process was given before.
std::uint64_t newChangeStamp();

class Storage {
public:
    virtual ~Storage() = default;

    // --- Catalog ---
    virtual std::vector<std::string> tableNames() const = 0; // user tables, catalog order
    virtual std::vector<std::string> viewNames() const = 0;  // saved select queries
    // Found without regard to case; nullopt when there is no such table.
    virtual std::optional<TableInfo> tableInfo(std::string_view table) const = 0;
    // A number that changes whenever what tableInfo() gives for any table may change (a
    // definition, an index, a relationship, an undone change), so that a plan can tell its
    // copy is current without fetching it; nullopt when the storage cannot tell.
    virtual std::optional<std::uint64_t> definitionsVersion() const { return std::nullopt; }
    // A number that changes with every change of what any read may give (a row written, a
    // definition changed, a statement or transaction undone), never handed out by another
    // storage of this process, so that an order worked out at one stamp can be used again
    // while the stamp holds; nullopt when the storage cannot tell.
    virtual std::optional<std::uint64_t> changeStamp() const { return std::nullopt; }
    // The SQL of a saved select query; nullopt when there is no such query. Raises
    // core::SqlError when the query exists but its text cannot be recovered.
    virtual std::optional<std::string> viewText(std::string_view view) const = 0;
    // Whether a saved query of any kind (action queries too) has this name, which no new
    // table or query may then take.
    virtual bool hasQuery(std::string_view name) const { return viewText(name).has_value(); }

    // --- Reading ---
    virtual std::unique_ptr<RowCursor> scan(std::string_view table) const = 0;
    // The rows whose key lies in the range, or nullptr when this storage cannot seek that
    // index (the engine then scans). A seek may return more rows than the range holds but
    // never fewer: the engine checks its criteria on every row anyway.
    virtual std::unique_ptr<RowCursor> seekIndex(std::string_view table, std::string_view index,
                                                 const KeyRange& range) const;
    // Every column of one row; nullopt when the locator names no live row of the table.
    virtual std::optional<std::vector<core::Value>> readRow(std::string_view table,
                                                            RowLocator locator) const = 0;
    // The table's rows in the order of an index's keys, forwards or backwards; rows with equal
    // keys come in stored order either way. nullptr when this storage cannot walk that index
    // (the engine then sorts).
    virtual std::unique_ptr<RowCursor> walkIndex(std::string_view table, std::string_view index,
                                                 bool backwards) const;
    // A reader of single rows; the default reads through readRow.
    virtual std::unique_ptr<RowReader> rowReader(std::string_view table) const;
    // About how many rows the table holds, for sizing buffers before a scan; 0 when unknown.
    virtual std::size_t rowCountHint(std::string_view) const { return 0; }
    // Every row's locator in stored order, decoding no values.
    virtual std::vector<RowLocator> rowLocators(std::string_view table) const;
    // The table's stored order a page at a time; nullptr when this storage has no pages (the
    // caller then lists the rows with scan() or rowLocators()).
    virtual std::unique_ptr<StoredPages> storedPages(std::string_view) const { return nullptr; }
    // Every row of the table in the stored order of one index, or nullopt when this storage
    // cannot walk it (the caller then sorts).
    virtual std::optional<std::vector<IndexedRow>> indexOrder(std::string_view table,
                                                              std::string_view index) const;

    // --- Schema changes ---
    virtual void createTable(const TableDefinition& layout) = 0;
    virtual void dropTable(std::string_view table) = 0;
    // Raises the duplicate-values error when existing rows break a unique index.
    virtual void createIndex(std::string_view table, const IndexInfo& index) = 0;
    virtual void dropIndex(std::string_view table, std::string_view index) = 0;
    // Existing rows get Null in the new column.
    virtual void addColumn(std::string_view table, const ColumnDefinition& column) = 0;
    virtual void dropColumn(std::string_view table, std::string_view column) = 0;
    // Gives the column named column.column.name a new definition; every stored value of it
    // goes through `convert` (which raises when a value does not fit).
    virtual void alterColumn(std::string_view table, const ColumnDefinition& column,
                             const std::function<core::Value(const core::Value&)>& convert) = 0;
    virtual void addForeignKey(std::string_view table, const ForeignKeyInfo& key) = 0;
    virtual void dropForeignKey(std::string_view table, std::string_view name) = 0;
    // A saved select query under a name no table or query has (the engine checked), with
    // the PARAMETERS it declares. A storage that keeps no queries refuses.
    virtual void createView(std::string_view name, const SelectQuery&,
                            const std::vector<ParameterDecl>&) {
        throw core::SqlError("Saved queries cannot be kept here: '" + std::string(name) +
                             "' was not created.");
    }
    // Takes away the saved query of that name (the engine checked that there is one).
    virtual void dropView(std::string_view name) {
        throw core::SqlError("Saved queries cannot be kept here: '" + std::string(name) +
                             "' was not dropped.");
    }

    // --- Rows ---
    // Reserves and returns the next number of a counter column (a Long), or a new GUID for
    // a replication ID column.
    virtual core::Value nextAutoNumber(std::string_view table, std::string_view column) = 0;
    // `row` holds a value for every column, in column order.
    virtual RowLocator insertRow(std::string_view table, std::vector<core::Value> row) = 0;
    virtual void updateRow(std::string_view table, RowLocator locator,
                           std::vector<core::Value> row) = 0;
    virtual void deleteRow(std::string_view table, RowLocator locator) = 0;

    // --- Atomicity ---
    // Transactions nest; rollback() undoes everything since the matching begin(). A commit
    // that fails (a full disk) ends the transaction all the same, having undone it.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // Around every statement that changes anything: endStatement(false) undoes what the
    // statement did, endStatement(true) keeps it (within any open transaction); when keeping
    // it fails, the statement is already undone and ended.
    virtual void beginStatement() = 0;
    virtual void endStatement(bool succeeded) = 0;
};

} // namespace sql
