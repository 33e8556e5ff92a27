#include "data/Keyset.h"

#include <stdexcept>

namespace data {

Keyset::Keyset(sql::ResultSet rows) {
    if (rows.hasRows()) stream_.emplace(std::move(rows));
}

bool Keyset::readOne() {
    if (!stream_) return false;
    try {
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
        throw;
    }
}

bool Keyset::filterOne() {
    if (filtered_ == records_.size() && !readOne()) return false;
    if (filter_(records_[filtered_])) accepted_.push_back(filtered_);
    ++filtered_;
    return true;
}

std::size_t Keyset::knownRows() const {
    return filter_ ? accepted_.size() : records_.size();
}

bool Keyset::hasRow(std::size_t row) {
    while (knownRows() <= row) {
        bool more = filter_ ? filterOne() : readOne();
        if (!more) {
            if (failure_) std::rethrow_exception(failure_);
            return false;
        }
    }
    return true;
}

std::size_t Keyset::rowCount() {
    while (hasRow(knownRows())) {
    }
    return knownRows();
}

KeysetRecord& Keyset::record(std::size_t row) {
    return records_.at(indexOf(row));
}

const KeysetRecord& Keyset::record(std::size_t row) const {
    return records_.at(indexOf(row));
}

void Keyset::finishReading() {
    try {
        while (readOne()) {
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
        if (records_[indexOf(row)].id == id) return row;
    return std::nullopt;
}

void Keyset::insert(std::size_t row, KeysetRecord record) {
    std::size_t index;
    if (row < knownRows()) {
        index = indexOf(row);
    } else {
        if (!complete()) throw std::logic_error("Keyset::insert past rows not read yet");
        index = records_.size();
        row = knownRows();
    }
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(index), std::move(record));
    if (filter_) {
        for (auto& a : accepted_)
            if (a >= index) ++a;
        accepted_.insert(accepted_.begin() + static_cast<std::ptrdiff_t>(row), index);
        ++filtered_;
    }
}

void Keyset::erase(std::size_t row) {
    const std::size_t index = indexOf(row);
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    if (filter_) {
        accepted_.erase(accepted_.begin() + static_cast<std::ptrdiff_t>(row));
        for (auto& a : accepted_)
            if (a > index) --a;
        --filtered_;
    }
}

} // namespace data
