#pragma once
// A statement bound and planned, waiting for its parameter values. Binding happens before
// the values are known so that the parameters a statement asks for can be listed first.
#include "sql/engine/ResultSet.h"
#include "sql/engine/execution/Runtime.h"
#include "sql/engine/planning/CompileContext.h"
#include "sql/engine/planning/QueryCompiler.h"
#include "sql/syntax/Statement.h"

#include <memory>
#include <string_view>
#include <vector>

namespace sql {

class PreparedStatement {
public:
    virtual ~PreparedStatement() = default;
    // Whether it changes tables or their definitions, and so runs as one atomic statement.
    virtual bool changesData() const { return true; }
    // The planned query, for a statement that gives rows.
    virtual const CompiledQuery* query() const { return nullptr; }
    // `statement` must still be alive; the runtime goes to a result set that reads rows
    // after run() returns.
    virtual ResultSet run(std::unique_ptr<Runtime> rt) = 0;
};

// Binds and plans a SELECT, INSERT, UPDATE or DELETE; checks a definition statement only as
// far as its text goes (the catalog is consulted when it runs). Not for transactions.
std::unique_ptr<PreparedStatement>
prepareStatement(CompileContext& context, const Statement& statement, std::string_view text);

// The parts, one per kind of statement.
std::unique_ptr<PreparedStatement> prepareQuery(CompileContext& context, const SelectQuery& query,
                                                std::string_view text);
std::unique_ptr<PreparedStatement> prepareInsert(CompileContext& context, const Insert& insert,
                                                 std::string_view text);
std::unique_ptr<PreparedStatement> prepareUpdate(CompileContext& context, const Update& update,
                                                 std::string_view text);
std::unique_ptr<PreparedStatement> prepareDelete(CompileContext& context, const Delete& del,
                                                 std::string_view text);
// The column of `table` each value of an INSERT ... VALUES goes to, in the order of the
// values; raises the statement's error for an unknown or repeated column or a wrong count.
std::vector<std::size_t> valueTargets(const TableInfo& table, const Insert& insert);

std::unique_ptr<PreparedStatement>
prepareDefinition(CompileContext& context, const Statement& statement, std::string_view text);

} // namespace sql
