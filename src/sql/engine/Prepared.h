#pragma once
// A statement parsed, bound and planned once, as the access layer meets it: what it is
// (whether it gives rows), the columns it gives and the parameters it asks for are known
// before it runs, and running it reuses the plan instead of reading the text again.
#include "jet/schema/ColumnType.h"
#include "sql/engine/ResultSet.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sql {

struct Statement;
class PreparedStatement;
class ParameterTable;

// A value a statement asks for: a "?" or a name that is no column (Jet's named parameter).
struct ParameterInfo {
    std::string name; // "?" for a positional marker
    // The type a PARAMETERS declaration gives it; the value is converted to it.
    std::optional<jet::ColumnType> declaredType;
};

enum class StatementKind {
    Rows,        // a SELECT without INTO: gives rows and changes nothing
    Change,      // INSERT, UPDATE, DELETE, SELECT ... INTO
    Definition,  // CREATE, ALTER and DROP of tables, indexes and saved queries
    Transaction, // BEGIN TRANSACTION, COMMIT, ROLLBACK
};

class Prepared {
public:
    Prepared(Prepared&&) noexcept;
    Prepared& operator=(Prepared&&) noexcept;
    ~Prepared();

    StatementKind kind() const { return kind_; }
    bool givesRows() const { return kind_ == StatementKind::Rows; }
    // The result's columns for a statement that gives rows, empty otherwise; a crosstab
    // whose column headings depend on parameter values not yet given has only its row
    // headings here.
    const std::vector<ResultColumn>& columns() const { return columns_; }
    // The tables the result's rows come from, as ResultSet::baseTables() gives them.
    const std::vector<std::string>& baseTables() const { return baseTables_; }
    // In the order the values are given: PARAMETERS declarations first, then the others in
    // the order they first appear in the text.
    const std::vector<ParameterInfo>& parameters() const { return parameters_; }
    const std::string& text() const { return text_; }
    const Statement& statement() const { return *statement_; }

private:
    friend class Session;
    Prepared();

    std::string text_;
    std::unique_ptr<Statement> statement_;
    StatementKind kind_ = StatementKind::Rows;
    std::vector<ResultColumn> columns_;
    std::vector<std::string> baseTables_;
    std::vector<ParameterInfo> parameters_;
    // The plan made at preparing, ready for one run without parameter values; a run with
    // values, or a second run, plans the parsed statement afresh.
    std::unique_ptr<ParameterTable> planParameters_;
    std::unique_ptr<PreparedStatement> plan_;
    bool planReadRows_ = false; // the plan's columns came from rows read with no values
};

} // namespace sql
