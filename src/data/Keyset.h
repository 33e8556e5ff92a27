#pragma once
// The rows of a data set, the client-side cursor's store, in one of two forms. Whole rows:
// a statement's result read as the user moves, each row with its values and the locators of
// the base rows it came from. Row locators: for a plain select over one table, every row's
// locator in the result's order, its values read from the table when asked for and a few
// hundred decoded rows kept for repaints. In stored order the locators are read a data page
// at a time from the front as the user moves, and from the back for the last record or a
// row found near the end; the table definition's row count places the rows in between,
// which are listed only when a move reaches them. A filter hides rows without removing them;
// positions ("rows") count the rows the filter accepts.
#include "core/Value.h"
#include "sql/engine/ResultSet.h"
#include "sql/engine/execution/TableRows.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace data {

struct KeysetRecord {
    std::uint64_t id = 0; // unique within the keyset; what a bookmark names
    std::vector<core::Value> values;
    std::vector<std::optional<sql::RowLocator>> locators; // one per base table
    bool fresh = false;                                   // inserted here and not posted yet
};

// A record as a filter or a search sees it: its values at hand, or read from the table one
// field at a time, each at most once.
class KeysetRow {
public:
    explicit KeysetRow(const KeysetRecord& record) : record_(&record) {}
    KeysetRow(const sql::TableRows& rows, sql::RowLocator locator)
        : rows_(&rows), locator_(locator), read_(rows.columns().size()) {}
    core::Value value(std::size_t field) const;

private:
    const KeysetRecord* record_ = nullptr;
    const sql::TableRows* rows_ = nullptr;
    sql::RowLocator locator_{};
    mutable std::vector<std::optional<core::Value>> read_;
};

class Keyset {
public:
    using Filter = std::function<bool(const KeysetRow&)>;

    Keyset() = default;
    explicit Keyset(sql::ResultSet rows);
    // An ordered result's locators are read now; stored order is read as the user moves: row
    // by row, or the rest all at once for a move that needs it (the last record, a locate).
    explicit Keyset(std::shared_ptr<const sql::TableRows> rows);
    // An ordered result whose locators, in its order, are already at hand; the keyset shares
    // them rather than copying a million of them.
    using Order = std::shared_ptr<const std::vector<sql::RowLocator>>;
    Keyset(std::shared_ptr<const sql::TableRows> rows, Order order);

    // Whether there is a row at this position, reading (and filtering) as far as needed.
    // Raises the error that ended the reading of the result, if reading stopped on one.
    bool hasRow(std::size_t row);
    // Every row: reads the whole result.
    std::size_t rowCount();
    // On the locator path the reference holds until a few hundred other rows are read.
    KeysetRecord& record(std::size_t row) { return recordAt(indexOf(row)); }
    const KeysetRecord& record(std::size_t row) const { return recordAt(indexOf(row)); }
    std::uint64_t id(std::size_t row) const { return idAt(indexOf(row)); }
    // One field of a row, decoding no other on the locator path (and keeping nothing).
    core::Value value(std::size_t row, std::size_t field) const;
    // A row's values and locators after a post; the record is no longer fresh.
    void store(std::size_t row, std::vector<core::Value> values,
               std::vector<std::optional<sql::RowLocator>> locators);
    // The rows known without reading more.
    std::size_t knownRows() const;
    // Whether the rows are all known (stored order's unlisted middle counts as known).
    bool complete() const {
        return !stream_ && !locatorScan_ && !(pages_ && !counted_ && headPages_ < tailPage_) &&
               (!filter_ || filtered_ == baseSize());
    }
    // How many rows of the result have been read, whatever the filter says.
    std::size_t rowsRead() const { return baseSize(); }

    // Reads the rest of the result (on the locator path, the rest of the locators) now,
    // before the tables change underneath it. Never raises: an error stops the reading and is
    // raised by the next move that needs the rows.
    void finishReading();

    // After this data set wrote the row at `locator` (an update or an insert; nullopt for a
    // delete) to the table its locators come from: the rows not read yet stay unread, and
    // reading on does not list that row a second time.
    void wroteRow(std::optional<sql::RowLocator> locator);

    // nullptr accepts every row. Positions are counted afresh.
    void setFilter(Filter filter);
    bool hasFilter() const { return static_cast<bool>(filter_); }

    // The position of the record with this id among the rows read so far.
    std::optional<std::size_t> rowOf(std::uint64_t id) const;
    // On the locator path: the table the rows come from (nullptr on the whole-row path).
    const sql::TableRows* tableRows() const { return table_.get(); }
    // The positions of the rows with these locators, in position order, reading on until
    // every one is found or the rows end (in stored order without a filter: only the pages
    // that hold them, from the nearer end).
    std::vector<std::size_t> rowsOfLocators(std::vector<sql::RowLocator> locators);

    // A new record at this position (before the row there; at the end when `row` is past
    // the last row, which needs the whole result read). It counts as accepted.
    void insert(std::size_t row, KeysetRecord record);
    void erase(std::size_t row);
    std::uint64_t newId() { return nextId_++; }

private:
    // A row on the locator path.
    struct Entry {
        sql::RowLocator locator;
        std::uint64_t id = 0;
        bool fresh = false;
    };
    // A record this keyset placed among the base rows: before the base row `before` (after
    // the ones placed there earlier), at the end when `before` is past the last.
    struct Placed {
        std::size_t before = 0;
        Entry entry;
    };
    // Where an index of the locator path leads: a base row, or a placed record.
    struct Slot {
        bool placed = false;
        std::size_t at = 0; // the base row, or the index in placed_
    };

    // `rest`: on the stored-order path, every row not read yet at once.
    bool readOne(bool rest = false);
    // Stored order: the locators not read yet, in one walk of the table's pages.
    bool readRest();
    // Every row of the result, filter or not; raises the error that stopped the reading.
    void readToEnd();
    bool filterOne();
    std::size_t indexOf(std::size_t row) const { return filter_ ? accepted_.at(row) : row; }
    std::size_t baseSize() const;
    std::uint64_t idAt(std::size_t index) const;
    KeysetRecord& recordAt(std::size_t index) const;
    KeysetRecord& decoded(const Entry& entry) const;

    // The locator path's rows are the base rows (the result's locators, shared or read here)
    // with the records placed and removed here laid over them; a base row's id is its index
    // plus one, so a million rows carry no ids and no copies.
    std::size_t baseCount() const;
    // The locator of a base row that has been listed.
    sql::RowLocator baseAt(std::size_t baseRow) const;

    // Stored order by pages: appends the rows of pages [from, to), less those this data set
    // wrote itself.
    void pageRows(std::size_t from, std::size_t to, std::vector<sql::RowLocator>& into) const;
    // Places the rows between the front and the back by the definition's count, reading the
    // last page that holds rows; when the count cannot be right, lists every row instead.
    void countRows();
    // The first base row of the back, while the middle is counted rather than listed.
    std::size_t tailStart() const { return baseRows_ - tail_.size(); }
    // Lists the base row (from the nearer end) when it lies in the counted middle.
    void listBase(std::size_t baseRow);
    // The rows a page holds on average, by the pages listed so far.
    std::size_t rowsPerPage() const;
    void listIndex(std::size_t index);
    // Lists the pages before `limit` at the front, or from `limit` on at the back.
    void readEnd(bool front, std::size_t limit);
    // Whether `more` rows listed at either end still fit the count.
    bool fits(std::size_t more) const {
        return !counted_ || scannedBase_.size() + tail_.size() + more <= baseRows_;
    }
    // The front and the back met: one list, in stored order.
    void joinEnds();
    Slot slotOf(std::size_t index) const;
    Entry entryAt(std::size_t index) const;
    // The index of a base row that is still there.
    std::size_t indexOfBase(std::size_t baseRow) const;
    std::optional<std::size_t> indexOfId(std::uint64_t id) const;
    std::optional<std::size_t> rowOfIndex(std::size_t index) const;
    // The indexes of the rows read so far with these locators, ascending.
    std::vector<std::size_t> indexesOf(std::vector<sql::RowLocator> locators) const;

    std::optional<sql::ResultSet> stream_;
    std::exception_ptr failure_;
    std::vector<KeysetRecord> records_;

    std::shared_ptr<const sql::TableRows> table_;
    std::unique_ptr<sql::RowCursor> locatorScan_; // stored order, while not read to its end
    Order shared_;                                // an ordered result's locators
    std::vector<sql::RowLocator> scannedBase_;    // stored order's locators read so far
    std::vector<Placed> placed_;                  // in position order
    // Stored order a page at a time: pages [0, headPages_) listed in scannedBase_, and once
    // counted, pages [tailPage_, end) in tail_ (last row first), the base rows between them
    // known by the definition's count (baseRows_, taken at the open).
    std::unique_ptr<sql::StoredPages> pages_;
    std::size_t headPages_ = 0;
    std::size_t tailPage_ = 0;
    bool counted_ = false;
    std::size_t baseRows_ = 0;
    std::vector<sql::RowLocator> tail_;
    std::vector<std::size_t> removed_;                           // base rows, ascending
    std::unordered_map<std::size_t, sql::RowLocator> relocated_; // base rows a post moved
    // Stored order read on past writes of this data set: the places of the rows it wrote,
    // which it already shows, ascending.
    bool wrote_ = false;
    std::vector<sql::RowLocator> written_;
    // Fresh records by id; decoded rows by id, the oldest forgotten first.
    mutable std::unordered_map<std::uint64_t, KeysetRecord> fresh_;
    mutable std::unordered_map<std::uint64_t, KeysetRecord> cache_;
    mutable std::deque<std::uint64_t> cacheOrder_;

    Filter filter_;
    std::size_t filtered_ = 0;          // base rows [0, filtered_) have been judged
    std::vector<std::size_t> accepted_; // with a filter: the indexes of accepted records
    std::uint64_t nextId_ = 1;
    // Ids of placed records start far past any base row's.
    static constexpr std::uint64_t kPlacedIds = std::uint64_t{1} << 62;
};

} // namespace data
