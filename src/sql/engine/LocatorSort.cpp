#include "sql/engine/LocatorSort.h"

#include "core/Error.h"
#include "sql/engine/SortKey.h"
#include "sql/engine/Storage.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace sql {

LocatorSort::LocatorSort(OperatorPtr input, std::vector<SortColumn> keys, LocatorRowShape shape)
    : input_(std::move(input)), keys_(std::move(keys)), shape_(std::move(shape)) {}

LocatorSort::~LocatorSort() = default;

void LocatorSort::open(const Runtime& rt, const Frame* outer) {
    input_->open(rt, outer);
    keyBytes_.clear();
    entries_.clear();
    position_ = 0;
    reader_ = rt.storage.rowReader(shape_.table);
    // A row's key is its sort values' keys one after another, each complemented when its
    // column sorts descending. The keys are prefix-free (no key begins another), so
    // complementing reverses their order and one byte comparison orders the whole row.
    ResultRow row;
    while (input_->next(row)) {
        const std::size_t from = keyBytes_.size();
        for (const auto& k : keys_) {
            const std::size_t start = keyBytes_.size();
            appendSortKey(keyBytes_, row.values[k.index]);
            if (k.descending)
                for (std::size_t i = start; i < keyBytes_.size(); ++i) keyBytes_[i] = ~keyBytes_[i];
        }
        if (keyBytes_.size() > std::numeric_limits<std::uint32_t>::max())
            throw core::SqlError("The sort keys do not fit in memory: sort on fewer or shorter "
                                 "values.");
        const auto& locator = row.locators.at(shape_.locatorIndex);
        if (!locator) throw core::Error("A sorted table row came without its locator.");
        Entry e{0, static_cast<std::uint32_t>(from),
                static_cast<std::uint32_t>(keyBytes_.size() - from), *locator};
        for (std::size_t i = 0; i < 8; ++i)
            e.prefix = (e.prefix << 8) |
                       (i < e.length ? static_cast<unsigned char>(keyBytes_[from + i]) : 0u);
        entries_.push_back(e);
    }
    const char* bytes = keyBytes_.data();
    // Equal keys keep their input order (their keys were appended in that order), so the
    // sort is stable like the one over whole rows.
    std::sort(entries_.begin(), entries_.end(), [bytes](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        if (a.length > 8 || b.length > 8) {
            const int c = std::memcmp(bytes + a.from, bytes + b.from, std::min(a.length, b.length));
            if (c != 0) return c < 0;
            if (a.length != b.length) return a.length < b.length;
        }
        return a.from < b.from;
    });
}

bool LocatorSort::next(ResultRow& row) {
    while (position_ < entries_.size()) {
        const RowLocator locator = entries_[position_++].locator;
        // A row gone since the scan (which a statement of this session cannot do while its
        // result is read) is left out rather than shown empty.
        auto values = reader_->read(locator);
        if (!values) continue;
        row.values.assign(shape_.width, core::Value());
        for (const auto& c : shape_.columns)
            if (c.column < values->size()) row.values[c.slot] = std::move((*values)[c.column]);
        row.locators.assign(shape_.locatorCount, std::nullopt);
        row.locators[shape_.locatorIndex] = locator;
        return true;
    }
    if (position_ == entries_.size()) {
        // The keys are of no more use: give their memory back before the result is done.
        entries_ = {};
        keyBytes_ = {};
        position_ = std::numeric_limits<std::size_t>::max();
    }
    return false;
}

} // namespace sql
