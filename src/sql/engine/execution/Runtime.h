#pragma once
// What a running statement's expressions and operators see: the storage, the evaluation
// context, the parameter values, and the chain of current rows from the innermost query out.
#include "core/Value.h"
#include "sql/eval/EvalContext.h"

#include <span>
#include <vector>

namespace sql {

class Storage;

struct Runtime {
    Storage& storage;
    const EvalContext& eval;
    std::vector<core::Value> parameters; // by position, already converted to declared types
};

// The row an expression is evaluated on, and the rows of the queries it is nested in
// (for correlated subqueries): depth 0 is `values`, depth 1 is outer->values, and so on.
struct Frame {
    std::span<const core::Value> values;
    const Frame* outer = nullptr;

    const Frame& at(int depth) const {
        const Frame* f = this;
        for (int i = 0; i < depth; ++i) f = f->outer;
        return *f;
    }
};

} // namespace sql
