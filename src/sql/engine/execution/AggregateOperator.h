#pragma once
// GROUP BY: reads every input row, gathers them into groups by their grouping values (text
// without regard to case) and gives one row per group: the grouping values, then each
// aggregate's result. Groups come out in ascending order of their values, as Jet's grouping
// by sorting gives them.
#include "sql/engine/execution/Operator.h"
#include "sql/engine/planning/BoundExpr.h"
#include "sql/eval/AggregateKind.h"

#include <vector>

namespace sql {

struct AggregateCall {
    AggregateKind function = AggregateKind::CountRows;
    BoundPtr argument; // null for Count(*)
};

class GroupAggregate : public Operator {
public:
    // Without grouping values (an aggregate query with no GROUP BY) there is always exactly
    // one row, also for no input rows.
    GroupAggregate(OperatorPtr input, BoundList groupBy, std::vector<AggregateCall> aggregates);
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    OperatorPtr input_;
    BoundList groupBy_;
    std::vector<AggregateCall> aggregates_;
    std::vector<std::vector<core::Value>> results_;
    std::size_t position_ = 0;
};

} // namespace sql
