#pragma once
// A criterion that compares a column of the scanned row with numbers written in the statement
// (`V Between 0.5 And 0.501`, `K >= 10`, `5 < K`), tested on the column's value without
// walking the expression: a filtered scan spends most of its time on this test.
#include "core/Value.h"
#include "sql/engine/planning/BoundExpr.h"

#include <cstdint>
#include <optional>

namespace sql {

class NumericCriterion {
public:
    // The quick form of `criterion`, or nullopt when it is not such a comparison.
    static std::optional<NumericCriterion> of(const BoundExpr& criterion);

    // Where the compared column is in the row.
    std::size_t slot() const { return slot_; }

    // Whether a row holding `value` in the column passes, exactly as the general comparison
    // decides (Null never passes); nullopt when the value is not a whole or floating number,
    // which the general evaluation then decides.
    std::optional<bool> passes(const core::Value& value) const;

private:
    // One end of the range: a number written in the statement.
    struct Bound {
        bool floating = false;
        double real = 0;
        std::int64_t whole = 0;
        bool inclusive = true;
    };

    static std::optional<Bound> boundOf(const BoundExpr& e, bool inclusive);

    std::size_t slot_ = 0;
    std::optional<Bound> low_, high_;
    bool negated_ = false;
};

} // namespace sql
