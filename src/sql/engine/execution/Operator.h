#pragma once
// The executor's iterator: each operator pulls rows from its inputs one at a time, so rows
// stream from the storage to the result unless an operator must see them all (sort, group).
#include "sql/engine/ResultSet.h"
#include "sql/engine/execution/Runtime.h"

#include <memory>
#include <vector>

namespace sql {

class Operator {
public:
    virtual ~Operator() = default;
    // Starts, or starts again, producing rows. `outer` is the row of the enclosing query
    // when the operator belongs to a correlated subquery, else nullptr; both must stay
    // valid until the next open().
    virtual void open(const Runtime& rt, const Frame* outer) = 0;
    // Fills `row` with the next row; false at the end.
    virtual bool next(ResultRow& row) = 0;
};

using OperatorPtr = std::unique_ptr<Operator>;

// A contiguous part of the rows of a FROM clause: the slots and locators of one source,
// or of the sources on one side of a join.
struct SlotRange {
    std::size_t first = 0;
    std::size_t count = 0;
};

// Whether a criterion lets a row through: only True does, Null and False do not.
bool passes(const core::Value& criterion);

class BoundExpr;
// Whether every criterion of the list lets the row through (an empty list does).
bool allPass(const std::vector<std::unique_ptr<BoundExpr>>& criteria, const Runtime& rt,
             const Frame& frame);

} // namespace sql
