#include "sql/engine/execution/OrderOperators.h"

#include "sql/engine/execution/SortKey.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <string_view>

namespace sql {

void Sort::open(const Runtime& rt, const Frame* outer) {
    input_->open(rt, outer);
    rows_.clear();
    order_.clear();
    // Every row's keys go into one buffer; bounds[r * n + i] .. bounds[r * n + i + 1] is the
    // key of sort column i of row r.
    const std::size_t n = columns_.size();
    std::string keys;
    std::vector<std::size_t> bounds{0};
    ResultRow row;
    while (input_->next(row)) {
        for (const auto& c : columns_) {
            appendSortKey(keys, row.values[c.index]);
            bounds.push_back(keys.size());
        }
        rows_.push_back(std::move(row));
    }
    auto key = [&](std::size_t r, std::size_t i) {
        const std::size_t from = bounds[r * n + i];
        return std::string_view(keys).substr(from, bounds[r * n + i + 1] - from);
    };
    struct Entry {
        std::uint64_t prefix; // of the first sort column's key
        std::size_t row;
    };
    std::vector<Entry> entries(rows_.size());
    for (std::size_t r = 0; r < rows_.size(); ++r)
        entries[r] = {n ? sortKeyPrefix(key(r, 0)) : 0, r};
    const bool firstDescending = n && columns_[0].descending;
    // Ties end in input order, so the sort is stable.
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix)
            return firstDescending ? a.prefix > b.prefix : a.prefix < b.prefix;
        for (std::size_t i = 0; i < n; ++i) {
            const int c = key(a.row, i).compare(key(b.row, i));
            if (c != 0) return columns_[i].descending ? c > 0 : c < 0;
        }
        return a.row < b.row;
    });
    order_.reserve(entries.size());
    for (const auto& e : entries) order_.push_back(e.row);
    position_ = 0;
}

bool Sort::next(ResultRow& row) {
    if (position_ >= order_.size()) return false;
    row = std::move(rows_[order_[position_++]]);
    return true;
}

std::string TopRows::tieKey(const ResultRow& row) const {
    std::string key;
    for (std::size_t i : ties_) appendSortKey(key, row.values[i]);
    return key;
}

void TopRows::open(const Runtime& rt, const Frame* outer) {
    input_->open(rt, outer);
    buffered_.clear();
    position_ = emitted_ = 0;
    done_ = false;
    limit_ = count_;
    if (percent_) {
        ResultRow row;
        while (input_->next(row)) buffered_.push_back(std::move(row));
        // A part of a row counts as a whole one.
        limit_ = static_cast<std::size_t>(
            std::ceil(static_cast<double>(buffered_.size()) * count_ / 100.0));
    }
}

bool TopRows::next(ResultRow& row) {
    if (done_) return false;
    auto pull = [&](ResultRow& into) {
        if (percent_) {
            if (position_ >= buffered_.size()) return false;
            into = std::move(buffered_[position_++]);
            return true;
        }
        return input_->next(into);
    };
    if (emitted_ >= limit_) {
        // Past the count only rows tied with the last one come.
        if (ties_.empty() || limit_ == 0 || !pull(row) || tieKey(row) != lastKey_) {
            done_ = true;
            return false;
        }
        return true;
    }
    if (!pull(row)) {
        done_ = true;
        return false;
    }
    if (++emitted_ == limit_ && !ties_.empty()) lastKey_ = tieKey(row);
    return true;
}

void Distinct::open(const Runtime& rt, const Frame* outer) {
    input_->open(rt, outer);
    std::map<std::string, ResultRow> kept;
    ResultRow row;
    while (input_->next(row)) {
        std::string key = sortKey(std::span<const core::Value>(row.values.data(), width_));
        if (kept.find(key) != kept.end()) continue;
        row.values.resize(width_);
        row.locators.clear();
        kept.emplace(std::move(key), std::move(row));
    }
    rows_.clear();
    rows_.reserve(kept.size());
    for (auto& [key, r] : kept) rows_.push_back(std::move(r));
    position_ = 0;
}

bool Distinct::next(ResultRow& row) {
    if (position_ >= rows_.size()) return false;
    row = std::move(rows_[position_++]);
    return true;
}

void Concatenate::open(const Runtime& rt, const Frame* outer) {
    rt_ = &rt;
    outer_ = outer;
    current_ = 0;
    if (!inputs_.empty()) inputs_[0]->open(rt, outer);
}

bool Concatenate::next(ResultRow& row) {
    while (current_ < inputs_.size()) {
        if (inputs_[current_]->next(row)) return true;
        if (++current_ < inputs_.size()) inputs_[current_]->open(*rt_, outer_);
    }
    return false;
}

} // namespace sql
