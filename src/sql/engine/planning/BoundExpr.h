#pragma once
// An expression after binding: names resolved to row slots, functions to their code,
// parameters to their positions. Evaluated once per row by the operators.
#include "core/Value.h"
#include "sql/engine/execution/Runtime.h"

#include <memory>
#include <string>
#include <vector>

namespace sql {

class BoundExpr {
public:
    explicit BoundExpr(core::DataType type = core::DataType::Null) : type_(type) {}
    virtual ~BoundExpr() = default;

    virtual core::Value eval(const Runtime& rt, const Frame& frame) const = 0;

    // Equal for expressions that compute the same thing from the same row; GROUP BY
    // matching and the planner's equality tests use it.
    virtual std::string fingerprint() const = 0;

    // Appends the slots of the row `depth` levels out that the expression reads.
    virtual void columnsUsed(int depth, std::vector<int>& slots) const = 0;

    // Whether it contains a subquery or a function with a new value at each call: such
    // expressions are never moved below a join or used as index keys.
    virtual bool isVolatile() const { return false; }

    // A copy, for an index seek that needs the key expression while the criterion keeps it;
    // nullptr for expressions that cannot be copied (subqueries).
    virtual std::unique_ptr<BoundExpr> clone() const { return nullptr; }

    // The kind of value it gives when that is known before running; Null when it varies.
    core::DataType type() const { return type_; }

private:
    core::DataType type_;
};

using BoundPtr = std::unique_ptr<BoundExpr>;
using BoundList = std::vector<BoundPtr>;

} // namespace sql
