#pragma once
// Jet's aggregate functions as accumulators: add() each row's value, result() at the end.
// Null values are skipped (First and Last excepted: they take the first and last row as it
// is); an empty set gives Null, Count gives 0.
//
// Result types: Count is a Long. Sum keeps integers exact as a Long and widens to Double when
// the total leaves the Long range; Sum of Currency stays an exact Currency, of Decimal a
// Decimal, of Single, Double, dates and numeric text a Double. Avg is a Double, except over
// Currency (a Currency rounded half to even) and Decimal. Min and Max compare as criteria do
// and return the value itself. StDev and Var (sample) need two values, StDevP and VarP one.
#include "core/Value.h"
#include "sql/eval/AggregateKind.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace sql {

class Aggregate {
public:
    explicit Aggregate(AggregateKind kind) : kind_(kind) {}

    void add(const core::Value& v);
    core::Value result() const;
    AggregateKind kind() const { return kind_; }

private:
    AggregateKind kind_;
    std::int64_t count_ = 0;
    core::Value value_; // running total, current minimum/maximum, first or last value
    bool seen_ = false; // First: a row was taken
    // Running mean and sum of squared deviations (Welford) for StDev and Var.
    double mean_ = 0, squares_ = 0;
};

} // namespace sql
