#include "data/StatementKind.h"

#include "core/Error.h"
#include "sql/syntax/Parser.h"

namespace data {

bool onlyReads(std::string_view statement) {
    try {
        const sql::Statement parsed = sql::parseStatement(statement);
        const auto* select = parsed.as<sql::SelectQuery>();
        return select && select->into.empty();
    } catch (const core::Error&) {
        return true;
    }
}

} // namespace data
