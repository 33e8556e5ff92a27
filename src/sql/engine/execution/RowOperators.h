#pragma once
// Operators that work one row at a time: keeping the rows every criterion passes, and computing
// the select list.
#include "sql/engine/execution/Operator.h"
#include "sql/engine/planning/BoundExpr.h"

#include <optional>
#include <set>
#include <vector>

namespace sql {

class Filter : public Operator {
public:
    Filter(OperatorPtr input, BoundList criteria)
        : input_(std::move(input)), criteria_(std::move(criteria)) {}
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    OperatorPtr input_;
    BoundList criteria_;
    const Runtime* rt_ = nullptr;
    const Frame* outer_ = nullptr;
};

// One value per expression. Locators pass through when the result stays updatable.
class Project : public Operator {
public:
    Project(OperatorPtr input, BoundList expressions, bool keepLocators)
        : input_(std::move(input)), expressions_(std::move(expressions)),
          keepLocators_(keepLocators) {}
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    OperatorPtr input_;
    BoundList expressions_;
    bool keepLocators_;
    ResultRow in_;
    const Runtime* rt_ = nullptr;
    const Frame* outer_ = nullptr;
};

// DISTINCTROW: the first row for each combination of base rows of the tables named by
// `locators` (indexes into ResultRow::locators), so that a table joined only to filter does
// not repeat the rows of the tables whose fields are selected.
class DistinctRows : public Operator {
public:
    DistinctRows(OperatorPtr input, std::vector<std::size_t> locators)
        : input_(std::move(input)), locators_(std::move(locators)) {}
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    OperatorPtr input_;
    std::vector<std::size_t> locators_;
    std::set<std::vector<std::optional<RowLocator>>> seen_;
};

} // namespace sql
