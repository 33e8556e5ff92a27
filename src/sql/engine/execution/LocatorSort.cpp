#include "sql/engine/execution/LocatorSort.h"

#include "core/Error.h"
#include "sql/engine/storage/Storage.h"

#include <limits>

namespace sql {

LocatorSort::LocatorSort(OperatorPtr input, std::vector<SortColumn> keys, LocatorRowShape shape)
    : input_(std::move(input)), keys_(std::move(keys)), shape_(std::move(shape)) {}

LocatorSort::~LocatorSort() = default;

void LocatorSort::open(const Runtime& rt, const Frame* outer) {
    input_->open(rt, outer);
    sorted_.clear();
    position_ = 0;
    reader_ = rt.storage.rowReader(shape_.table);
    sorted_.reserve(rt.storage.rowCountHint(shape_.table));
    ResultRow row;
    while (input_->next(row)) {
        for (const auto& k : keys_) sorted_.appendKey(row.values[k.index], k.descending);
        const auto& locator = row.locators.at(shape_.locatorIndex);
        if (!locator) throw core::Error("A sorted table row came without its locator.");
        sorted_.add(*locator);
    }
    sorted_.sort();
}

bool LocatorSort::next(ResultRow& row) {
    while (position_ < sorted_.size()) {
        const RowLocator locator = sorted_.locator(position_++);
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
    if (position_ == sorted_.size()) {
        // The keys are of no more use: give their memory back before the result is done.
        sorted_.clear();
        position_ = std::numeric_limits<std::size_t>::max();
    }
    return false;
}

} // namespace sql
