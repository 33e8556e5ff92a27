#pragma once
// Subqueries inside expressions: EXISTS, IN (select ...) and a select used as a value.
// A subquery that reads no column of the queries around it runs once per statement; a
// correlated one runs again for each row it is evaluated on.
#include "sql/engine/execution/Operator.h"
#include "sql/engine/planning/BoundExpr.h"

#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace sql {

// A planned subquery and the columns of enclosing queries it reads.
struct SubqueryPlan {
    OperatorPtr root;
    // (depth seen from inside the subquery, slot): depth 1 is the query the subquery is in.
    std::vector<std::pair<int, int>> outerColumns;
    std::string text; // for fingerprints: two subqueries are the same only by their text
};

class SubqueryExpr : public BoundExpr {
public:
    SubqueryExpr(SubqueryPlan plan, core::DataType type)
        : BoundExpr(type), plan_(std::move(plan)) {}
    void columnsUsed(int depth, std::vector<int>& slots) const override;
    bool isVolatile() const override { return true; }

protected:
    bool correlated() const { return !plan_.outerColumns.empty(); }
    // Runs the subquery for the row `frame` and returns its first values, at most `limit`
    // rows (0: all).
    std::vector<core::Value> firstValues(const Runtime& rt, const Frame& frame,
                                         std::size_t limit) const;

    SubqueryPlan plan_;
};

class ExistsExpr : public SubqueryExpr {
public:
    explicit ExistsExpr(SubqueryPlan plan)
        : SubqueryExpr(std::move(plan), core::DataType::Boolean) {}
    core::Value eval(const Runtime& rt, const Frame& frame) const override;
    std::string fingerprint() const override { return "exists(" + plan_.text + ")"; }

private:
    mutable std::optional<bool> cached_;
};

class ScalarSubqueryExpr : public SubqueryExpr {
public:
    ScalarSubqueryExpr(SubqueryPlan plan, core::DataType type)
        : SubqueryExpr(std::move(plan), type) {}
    core::Value eval(const Runtime& rt, const Frame& frame) const override;
    std::string fingerprint() const override { return "scalar(" + plan_.text + ")"; }

private:
    mutable std::optional<core::Value> cached_;
};

class InSubqueryExpr : public SubqueryExpr {
public:
    InSubqueryExpr(BoundPtr value, SubqueryPlan plan, bool negated)
        : SubqueryExpr(std::move(plan), core::DataType::Boolean), value_(std::move(value)),
          negated_(negated) {}
    core::Value eval(const Runtime& rt, const Frame& frame) const override;
    std::string fingerprint() const override;
    void columnsUsed(int depth, std::vector<int>& slots) const override;

private:
    // The values of an uncorrelated subquery, read once, with their keys for lookups.
    struct Cache {
        std::vector<core::Value> values;
        std::unordered_set<std::string> keys;
        bool hasNull = false;
        bool oneKind = true; // every value compares by its key with a value of that kind
        core::DataType kind = core::DataType::Null;
    };
    core::Value match(const core::Value& v, const std::vector<core::Value>& values) const;

    BoundPtr value_;
    bool negated_;
    mutable std::optional<Cache> cache_;
};

} // namespace sql
