#pragma once
// ORDER BY over one base table without holding its rows: the scan below reads only the
// columns the order and the criteria need, the sort keeps each row's key and locator, and
// the rows are read back whole one at a time, in order, as they are asked for. Memory is the
// keys and locators; the first row comes as soon as the keys are sorted.
#include "sql/engine/execution/LocatorKeySort.h"
#include "sql/engine/execution/OrderOperators.h"
#include "sql/engine/execution/ScanOperators.h"

#include <memory>
#include <string>
#include <vector>

namespace sql {

class RowReader;

// Where the table's rows go in the FROM clause's row, and which of its locators they fill.
struct LocatorRowShape {
    std::string table;
    std::size_t width = 0;
    std::vector<ScanColumn> columns; // the columns the expressions above read
    std::size_t locatorCount = 0, locatorIndex = 0;
};

class LocatorSort : public Operator {
public:
    // `keys` are (slot, direction) pairs of the FROM row the input gives.
    LocatorSort(OperatorPtr input, std::vector<SortColumn> keys, LocatorRowShape shape);
    ~LocatorSort() override;
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    OperatorPtr input_;
    std::vector<SortColumn> keys_;
    LocatorRowShape shape_;
    LocatorKeySort sorted_;
    std::size_t position_ = 0;
    std::unique_ptr<RowReader> reader_;
};

} // namespace sql
