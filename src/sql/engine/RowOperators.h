#pragma once
// Operators that work one row at a time: keeping the rows every criterion passes, and computing
// the select list.
#include "sql/engine/BoundExpr.h"
#include "sql/engine/Operator.h"

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

} // namespace sql
