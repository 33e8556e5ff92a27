#pragma once
// What evaluating an expression may need beyond its values: the clock behind Now, Date and
// Time (injectable so that tests and replays are deterministic), the LIKE wildcard mode and
// the state of Rnd.
#include "core/Value.h"
#include "sql/eval/Like.h"

#include <functional>

namespace sql {

class RandomSequence;

struct EvalContext {
    // The local date and time; the system clock when empty.
    std::function<core::DateTime()> clock;
    LikeMode likeMode = LikeMode::Ansi92;
    // Rnd's sequence; Rnd raises "Invalid procedure call or argument" without one.
    RandomSequence* random = nullptr;
};

// The context's clock, or the system's local time to the second.
core::DateTime currentDateTime(const EvalContext& context);

} // namespace sql
