#include "data/Keyset.h"

#include "core/Error.h"

#include <algorithm>
#include <stdexcept>

namespace data {
namespace {

// Decoded rows kept on the locator path: a few screens of a grid, so a repaint decodes
// nothing again.
constexpr std::size_t kCachedRows = 512;
// On the stored-order path a move this far past the rows read (a jump to a record number)
// reads the rest in one walk of the table's pages, as the last record, a locate and a write
// do; nearer moves (the next page of a grid) read row by row.
constexpr std::size_t kFarAhead = 1024;

} // namespace

core::Value KeysetRow::value(std::size_t field) const {
    if (record_) return record_->values.at(field);
    auto& slot = read_.at(field);
    if (!slot) slot = rows_->readValue(locator_, field);
    return *slot;
}

Keyset::Keyset(sql::ResultSet rows) {
    if (rows.hasRows()) stream_.emplace(std::move(rows));
}

Keyset::Keyset(std::shared_ptr<const sql::TableRows> rows) : table_(std::move(rows)) {
    if (!table_->ordered()) {
        locatorScan_ = table_->scan();
        return;
    }
    takeOrder(table_->locators());
}

Keyset::Keyset(std::shared_ptr<const sql::TableRows> rows, std::span<const sql::RowLocator> order)
    : table_(std::move(rows)) {
    takeOrder(order);
}

void Keyset::takeOrder(std::span<const sql::RowLocator> order) {
    entries_.reserve(order.size());
    for (const auto& locator : order) entries_.push_back({locator, nextId_++, false});
}

bool Keyset::readOne(bool rest) {
    if (!stream_ && !locatorScan_) return false;
    try {
        if (locatorScan_) {
            if (rest) return readRest();
            if (!locatorScan_->next()) {
                locatorScan_.reset();
                return false;
            }
            entries_.push_back({locatorScan_->locator(), nextId_++, false});
            ++scanned_;
            return true;
        }
        if (!stream_->next()) {
            stream_.reset();
            return false;
        }
        const sql::ResultRow& row = stream_->row();
        records_.push_back(KeysetRecord{nextId_++, row.values, row.locators, false});
        return true;
    } catch (...) {
        // The stream cannot be trusted after an error; what was read stays usable.
        failure_ = std::current_exception();
        stream_.reset();
        locatorScan_.reset();
        throw;
    }
}

bool Keyset::readRest() {
    // The walk lists the rows the cursor has already given first, in the same order; rows
    // inserted here meanwhile are not among them (none is posted before the rest is read).
    const std::vector<sql::RowLocator> all = table_->locators();
    locatorScan_.reset();
    if (all.size() <= scanned_) return false;
    entries_.reserve(entries_.size() + (all.size() - scanned_));
    for (std::size_t i = scanned_; i < all.size(); ++i)
        entries_.push_back({all[i], nextId_++, false});
    scanned_ = all.size();
    return true;
}

std::uint64_t Keyset::idAt(std::size_t index) const {
    return table_ ? entries_.at(index).id : records_.at(index).id;
}

KeysetRecord& Keyset::decoded(const Entry& entry) const {
    if (entry.fresh) return fresh_.at(entry.id);
    if (auto it = cache_.find(entry.id); it != cache_.end()) return it->second;
    while (cache_.size() >= kCachedRows) {
        cache_.erase(cacheOrder_.front());
        cacheOrder_.pop_front();
    }
    KeysetRecord record{entry.id, {}, {entry.locator}, false};
    // A row gone from the table (deleted by another statement, or its table dropped) shows
    // empty.
    std::optional<std::vector<core::Value>> values;
    try {
        values = table_->read(entry.locator);
    } catch (const core::Error&) {
    }
    record.values =
        values ? std::move(*values) : std::vector<core::Value>(table_->columns().size());
    cacheOrder_.push_back(entry.id);
    return cache_.emplace(entry.id, std::move(record)).first->second;
}

KeysetRecord& Keyset::recordAt(std::size_t index) const {
    if (table_) return decoded(entries_.at(index));
    return const_cast<KeysetRecord&>(records_.at(index));
}

core::Value Keyset::value(std::size_t row, std::size_t field) const {
    const std::size_t index = indexOf(row);
    if (!table_) return records_.at(index).values.at(field);
    const Entry& entry = entries_.at(index);
    if (entry.fresh) return fresh_.at(entry.id).values.at(field);
    if (auto it = cache_.find(entry.id); it != cache_.end()) return it->second.values.at(field);
    return table_->readValue(entry.locator, field);
}

void Keyset::store(std::size_t row, std::vector<core::Value> values,
                   std::vector<std::optional<sql::RowLocator>> locators) {
    const std::size_t index = indexOf(row);
    if (!table_) {
        KeysetRecord& record = records_.at(index);
        record.values = std::move(values);
        record.locators = std::move(locators);
        record.fresh = false;
        return;
    }
    Entry& entry = entries_.at(index);
    if (entry.fresh) {
        fresh_.erase(entry.id);
        entry.fresh = false;
    }
    entry.locator = locators.front().value_or(entry.locator);
    cache_.erase(entry.id);
    std::erase(cacheOrder_, entry.id);
    cache_.emplace(entry.id, KeysetRecord{entry.id, std::move(values), {entry.locator}, false});
    cacheOrder_.push_back(entry.id);
}

bool Keyset::filterOne() {
    if (filtered_ == baseSize() && !readOne()) return false;
    bool accepted;
    if (!table_) {
        accepted = filter_(KeysetRow(records_[filtered_]));
    } else {
        // Rows already decoded are judged from their values; the others read only the
        // fields the test asks for, and nothing of them is kept.
        const Entry& entry = entries_[filtered_];
        auto cached = cache_.find(entry.id);
        if (entry.fresh)
            accepted = filter_(KeysetRow(fresh_.at(entry.id)));
        else if (cached != cache_.end())
            accepted = filter_(KeysetRow(cached->second));
        else
            accepted = filter_(KeysetRow(*table_, entry.locator));
    }
    if (accepted) accepted_.push_back(filtered_);
    ++filtered_;
    return true;
}

std::size_t Keyset::knownRows() const {
    return filter_ ? accepted_.size() : baseSize();
}

bool Keyset::hasRow(std::size_t row) {
    // An error stops the reading here and is raised below when the rows run out.
    if (locatorScan_ && !filter_ && row >= knownRows() + kFarAhead) finishReading();
    while (knownRows() <= row) {
        bool more = filter_ ? filterOne() : readOne();
        if (!more) {
            if (failure_) std::rethrow_exception(failure_);
            return false;
        }
    }
    return true;
}

void Keyset::readToEnd() {
    while (readOne(true)) {
    }
    if (failure_) std::rethrow_exception(failure_);
}

std::size_t Keyset::rowCount() {
    if (!filter_) readToEnd();
    while (hasRow(knownRows())) {
    }
    return knownRows();
}

void Keyset::finishReading() {
    // The rows the locator path decoded stay as they were read, as whole rows do, so that a
    // post still finds out when another statement changed its row.
    try {
        while (readOne(true)) {
        }
    } catch (...) {
        // Kept in failure_ for the move that needs the missing rows.
    }
}

void Keyset::setFilter(Filter filter) {
    filter_ = std::move(filter);
    accepted_.clear();
    filtered_ = 0;
}

std::optional<std::size_t> Keyset::rowOf(std::uint64_t id) const {
    for (std::size_t row = 0; row < knownRows(); ++row)
        if (idAt(indexOf(row)) == id) return row;
    return std::nullopt;
}

std::optional<std::size_t> Keyset::rowOfLocator(sql::RowLocator locator) const {
    for (std::size_t row = 0; row < knownRows(); ++row) {
        const Entry& entry = entries_.at(indexOf(row));
        if (!entry.fresh && entry.locator == locator) return row;
    }
    return std::nullopt;
}

std::vector<std::size_t> Keyset::rowsOfLocators(std::vector<sql::RowLocator> locators) {
    // Without a filter the positions are the stored list's, read whole in one walk.
    if (!filter_) finishReading();
    std::sort(locators.begin(), locators.end());
    // A few locators (the usual seek) are compared directly: a million rows in a millisecond.
    const bool few = locators.size() <= 8;
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; rows.size() < locators.size() && hasRow(row); ++row) {
        const Entry& entry = entries_[indexOf(row)];
        const bool listed =
            few ? std::find(locators.begin(), locators.end(), entry.locator) != locators.end()
                : std::binary_search(locators.begin(), locators.end(), entry.locator);
        if (listed && !entry.fresh) rows.push_back(row);
    }
    return rows;
}

void Keyset::insert(std::size_t row, KeysetRecord record) {
    std::size_t index;
    if (row < knownRows()) {
        index = indexOf(row);
    } else {
        if (!complete()) throw std::logic_error("Keyset::insert past rows not read yet");
        index = baseSize();
        row = knownRows();
    }
    if (table_) {
        const std::uint64_t id = record.id;
        const bool fresh = record.fresh || !record.locators.front();
        Entry entry{record.locators.front().value_or(sql::RowLocator{}), id, fresh};
        if (fresh) fresh_.emplace(id, std::move(record));
        entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), entry);
    } else {
        records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(index), std::move(record));
    }
    if (filter_) {
        for (auto& a : accepted_)
            if (a >= index) ++a;
        accepted_.insert(accepted_.begin() + static_cast<std::ptrdiff_t>(row), index);
        ++filtered_;
    }
}

void Keyset::erase(std::size_t row) {
    const std::size_t index = indexOf(row);
    if (table_) {
        const std::uint64_t id = entries_[index].id;
        fresh_.erase(id);
        if (cache_.erase(id)) std::erase(cacheOrder_, id);
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    } else {
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    }
    if (filter_) {
        accepted_.erase(accepted_.begin() + static_cast<std::ptrdiff_t>(row));
        for (auto& a : accepted_)
            if (a > index) --a;
        --filtered_;
    }
}

} // namespace data
