#pragma once
// ORDER BY answered by an index: the rows of one table come in the order of an index whose
// columns are the ORDER BY columns, walked forwards or backwards, so nothing is sorted and
// the first row comes at once. Where the storage cannot walk the index, the sort by locators
// it was given runs instead.
#include "sql/engine/execution/LocatorSort.h"

#include <memory>
#include <string>

namespace sql {

class RowCursor;

class IndexOrderScan : public Operator {
public:
    IndexOrderScan(std::string index, bool backwards, LocatorRowShape shape, OperatorPtr sort);
    ~IndexOrderScan() override;
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    std::string index_;
    bool backwards_;
    LocatorRowShape shape_;
    OperatorPtr sort_;
    std::unique_ptr<RowCursor> cursor_;
};

} // namespace sql
