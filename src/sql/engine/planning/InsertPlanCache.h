#pragma once
// Plans of INSERT ... VALUES statements by shape, so that a script of many inserts of the
// same form parses and binds once: a later statement of the shape reads only its literals.
// A plan is used only while the table's definition is what it was planned against.
#include "sql/engine/execution/Runtime.h"
#include "sql/engine/planning/InsertShape.h"
#include "sql/engine/storage/Storage.h"
#include "sql/engine/storage/TableInfo.h"
#include "sql/engine/storage/TableWriter.h"
#include "sql/syntax/Statement.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace sql {

class InsertPlanCache {
public:
    struct Plan {
        std::string table; // as the statement names it
        TableInfo info;
        std::vector<std::size_t> targets; // the column each value goes to
        // Per value: the literal of the shape it takes, or -1 for a constant of the shape
        // (Null, True) kept in `constants`.
        std::vector<int> literal;
        std::vector<core::Value> constants;
        // The storage's definitionsVersion() when `info` was last found current.
        std::optional<std::uint64_t> version;
        // The writer of the plan's rows, made again whenever the version moves.
        std::unique_ptr<Runtime> runtime;
        std::unique_ptr<TableWriter> writer;
    };

    // The plan for `text` with the row it inserts in `given` (one entry per column), or
    // nullptr when the text must go the ordinary way.
    Plan* find(std::string_view text, Storage& storage, const EvalContext& eval,
               std::vector<std::optional<core::Value>>& given);
    // `text` parsed to `statement` and ran: keeps its plan when every literal of its shape is
    // a value of its own, or remembers that the shape has none.
    void learn(std::string_view text, const Statement& statement, const Storage& storage);

private:
    // Scripts hold few shapes; a text full of distinct ones starts the cache over.
    static constexpr std::size_t kLimit = 256;

    InsertShape shape_;
    std::unordered_map<std::string, std::optional<Plan>> plans_;
};

} // namespace sql
