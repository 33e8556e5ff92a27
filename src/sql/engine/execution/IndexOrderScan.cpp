#include "sql/engine/execution/IndexOrderScan.h"

#include "sql/engine/storage/Storage.h"

namespace sql {

IndexOrderScan::IndexOrderScan(std::string index, bool backwards, LocatorRowShape shape,
                               OperatorPtr sort)
    : index_(std::move(index)), backwards_(backwards), shape_(std::move(shape)),
      sort_(std::move(sort)) {}

IndexOrderScan::~IndexOrderScan() = default;

void IndexOrderScan::open(const Runtime& rt, const Frame* outer) {
    cursor_ = rt.storage.walkIndex(shape_.table, index_, backwards_);
    if (!cursor_) sort_->open(rt, outer);
}

bool IndexOrderScan::next(ResultRow& row) {
    if (!cursor_) return sort_->next(row);
    if (!cursor_->next()) return false;
    row.values.assign(shape_.width, core::Value());
    for (const auto& c : shape_.columns) row.values[c.slot] = cursor_->value(c.column);
    row.locators.assign(shape_.locatorCount, std::nullopt);
    row.locators[shape_.locatorIndex] = cursor_->locator();
    return true;
}

} // namespace sql
