#include "sql/engine/execution/ScanOperators.h"

#include "core/Error.h"
#include "sql/engine/storage/ColumnValues.h"
#include "sql/eval/Comparison.h"
#include "sql/eval/Logic.h"

#include <algorithm>

namespace sql {

bool passes(const core::Value& criterion) {
    auto truth = isTruthy(criterion);
    return truth && *truth;
}

bool allPass(const BoundList& criteria, const Runtime& rt, const Frame& frame) {
    for (const auto& c : criteria)
        if (!passes(c->eval(rt, frame))) return false;
    return true;
}

TableScan::TableScan(std::string table, std::size_t width, std::vector<ScanColumn> columns,
                     std::size_t locatorCount, std::size_t locatorIndex,
                     std::optional<SeekPlan> seek, BoundList criteria)
    : table_(std::move(table)), width_(width), locatorCount_(locatorCount),
      locatorIndex_(locatorIndex), seek_(std::move(seek)), criteria_(std::move(criteria)) {
    std::vector<int> used;
    for (const auto& c : criteria_) {
        c->columnsUsed(0, used);
        quick_.push_back(NumericCriterion::of(*c));
    }
    for (const auto& c : columns) {
        const bool read =
            std::find(used.begin(), used.end(), static_cast<int>(c.slot)) != used.end();
        (read ? criteriaColumns_ : otherColumns_).push_back(c);
    }
}

std::optional<KeyRange> TableScan::seekRange(const Runtime& rt, const Frame* outer,
                                             bool& empty) const {
    Frame frame{{}, outer};
    // A key the column's type would change (2.5 for a Long column) would seek the wrong
    // rows: such a key leaves the work to the scan.
    struct Inexact {};
    auto convert = [](const ColumnInfo& column, const core::Value& v) {
        core::Value stored = toColumnValue(column, v);
        auto order = compareValues(stored, v);
        if (!order || *order != 0) throw Inexact{};
        return stored;
    };
    std::vector<core::Value> equal;
    try {
        for (std::size_t i = 0; i < seek_->equal.size(); ++i) {
            core::Value v = seek_->equal[i]->eval(rt, frame);
            if (v.isNull()) {
                empty = true;
                return std::nullopt;
            }
            equal.push_back(convert(seek_->keyColumns[i], v));
        }
        KeyRange range;
        range.low = KeyBound{equal, true};
        range.high = KeyBound{equal, true};
        const ColumnInfo* next =
            equal.size() < seek_->keyColumns.size() ? &seek_->keyColumns[equal.size()] : nullptr;
        auto bound = [&](const BoundPtr& e, bool inclusive, std::optional<KeyBound>& into) {
            if (!e) return true;
            core::Value v = e->eval(rt, frame);
            if (v.isNull()) return false;
            KeyBound b{equal, inclusive};
            b.values.push_back(convert(*next, v));
            into = std::move(b);
            return true;
        };
        if (!bound(seek_->low, seek_->lowInclusive, range.low) ||
            !bound(seek_->high, seek_->highInclusive, range.high)) {
            empty = true;
            return std::nullopt;
        }
        if (equal.empty() && !seek_->low) range.low.reset();
        if (equal.empty() && !seek_->high) range.high.reset();
        return range;
    } catch (const Inexact&) {
        return std::nullopt;
    } catch (const core::Error&) {
        // A key the column cannot hold: leave the comparison, and its error if any, to the
        // criteria checked on every scanned row.
        return std::nullopt;
    }
}

void TableScan::open(const Runtime& rt, const Frame* outer) {
    rt_ = &rt;
    outer_ = outer;
    cursor_.reset();
    if (seek_) {
        bool empty = false;
        auto range = seekRange(rt, outer, empty);
        if (empty) return;
        if (range) cursor_ = rt.storage.seekIndex(table_, seek_->index, *range);
    }
    if (!cursor_) cursor_ = rt.storage.scan(table_);
}

bool TableScan::next(ResultRow& row) {
    if (!cursor_) return false;
    for (;;) {
        if (!cursor_->next()) return false;
        row.values.assign(width_, core::Value());
        for (const auto& c : criteriaColumns_) row.values[c.slot] = cursor_->value(c.column);
        if (criteriaPass(row.values)) break;
    }
    for (const auto& c : otherColumns_) row.values[c.slot] = cursor_->value(c.column);
    row.locators.assign(locatorCount_, std::nullopt);
    if (locatorIndex_ < locatorCount_) row.locators[locatorIndex_] = cursor_->locator();
    return true;
}

bool TableScan::criteriaPass(const std::vector<core::Value>& values) const {
    // In the statement's order, so that a criterion that fails a row spares the same later
    // ones (and their errors) as the general evaluation does.
    for (std::size_t i = 0; i < criteria_.size(); ++i) {
        std::optional<bool> pass;
        if (quick_[i]) pass = quick_[i]->passes(values[quick_[i]->slot()]);
        if (!pass) pass = passes(criteria_[i]->eval(*rt_, Frame{values, outer_}));
        if (!*pass) return false;
    }
    return true;
}

bool SingleRow::next(ResultRow& row) {
    if (done_) return false;
    done_ = true;
    row.values.clear();
    row.locators.clear();
    return true;
}

SubqueryScan::SubqueryScan(OperatorPtr query, std::size_t columnCount, std::size_t width,
                           std::size_t firstSlot, std::size_t locatorCount)
    : query_(std::move(query)), columnCount_(columnCount), width_(width), firstSlot_(firstSlot),
      locatorCount_(locatorCount) {}

bool SubqueryScan::next(ResultRow& row) {
    if (!query_->next(inner_)) return false;
    row.values.assign(width_, core::Value());
    for (std::size_t i = 0; i < columnCount_; ++i)
        row.values[firstSlot_ + i] = std::move(inner_.values[i]);
    row.locators.assign(locatorCount_, std::nullopt);
    return true;
}

} // namespace sql
