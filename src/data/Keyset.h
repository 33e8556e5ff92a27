#pragma once
// The rows a data set has read so far, read on as the user moves: the client-side cursor's
// store. Each row keeps its values and the locators of the base rows it came from; a filter
// hides rows without removing them. Positions ("rows") count the rows the filter accepts.
#include "core/Value.h"
#include "sql/engine/ResultSet.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

namespace data {

struct KeysetRecord {
    std::uint64_t id = 0; // unique within the keyset; what a bookmark names
    std::vector<core::Value> values;
    std::vector<std::optional<sql::RowLocator>> locators; // one per base table
    bool fresh = false;                                   // inserted here and not posted yet
};

class Keyset {
public:
    using Filter = std::function<bool(const KeysetRecord&)>;

    Keyset() = default;
    explicit Keyset(sql::ResultSet rows);

    // Whether there is a row at this position, reading (and filtering) as far as needed.
    // Raises the error that ended the reading of the result, if reading stopped on one.
    bool hasRow(std::size_t row);
    // Every row: reads the whole result.
    std::size_t rowCount();
    KeysetRecord& record(std::size_t row);
    const KeysetRecord& record(std::size_t row) const;
    // The rows known without reading more.
    std::size_t knownRows() const;
    bool complete() const { return !stream_ && (!filter_ || filtered_ == records_.size()); }
    // How many rows of the result have been read, whatever the filter says.
    std::size_t rowsRead() const { return records_.size(); }

    // Reads the rest of the result now, before the tables change underneath it. Never
    // raises: an error stops the reading and is raised by the next move that needs the rows.
    void finishReading();

    // nullptr accepts every row. Positions are counted afresh.
    void setFilter(Filter filter);

    // The position of the record with this id among the rows read so far.
    std::optional<std::size_t> rowOf(std::uint64_t id) const;

    // A new record at this position (before the row there; at the end when `row` is past
    // the last row, which needs the whole result read). It counts as accepted.
    void insert(std::size_t row, KeysetRecord record);
    void erase(std::size_t row);
    std::uint64_t newId() { return nextId_++; }

private:
    bool readOne();
    bool filterOne();
    std::size_t indexOf(std::size_t row) const { return filter_ ? accepted_.at(row) : row; }

    std::optional<sql::ResultSet> stream_;
    std::exception_ptr failure_;
    std::vector<KeysetRecord> records_;
    Filter filter_;
    std::size_t filtered_ = 0;          // records_[0, filtered_) have been judged
    std::vector<std::size_t> accepted_; // with a filter: the indexes of accepted records
    std::uint64_t nextId_ = 1;
};

} // namespace data
