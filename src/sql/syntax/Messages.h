#pragma once
// The texts of the syntax errors, worded as the Jet provider words them.
#include <string>
#include <string_view>

namespace sql::messages {

inline constexpr std::string_view createTable = "Syntax error in CREATE TABLE statement.";
inline constexpr std::string_view createIndex = "Syntax error in CREATE INDEX statement.";
inline constexpr std::string_view dropStatement = "Syntax error in DROP TABLE or DROP INDEX.";
inline constexpr std::string_view createView = "Syntax error in CREATE VIEW statement.";
inline constexpr std::string_view createProcedure = "Syntax error in CREATE PROCEDURE statement.";
inline constexpr std::string_view dropView = "Syntax error in DROP VIEW or DROP PROCEDURE.";
inline constexpr std::string_view alterTable = "Syntax error in ALTER TABLE statement.";
inline constexpr std::string_view insertInto = "Syntax error in INSERT INTO statement.";
inline constexpr std::string_view update = "Syntax error in UPDATE statement.";
inline constexpr std::string_view deleteStatement = "Syntax error in DELETE statement.";
inline constexpr std::string_view transform = "Syntax error in TRANSFORM statement.";
inline constexpr std::string_view transaction = "Syntax error in TRANSACTION statement.";
inline constexpr std::string_view parameters = "Syntax error in PARAMETER clause.";
inline constexpr std::string_view fieldDefinition = "Syntax error in field definition.";
inline constexpr std::string_view constraint = "Syntax error in CONSTRAINT clause.";
inline constexpr std::string_view fromClause = "Syntax error in FROM clause.";
inline constexpr std::string_view joinOperation = "Syntax error in JOIN operation.";
inline constexpr std::string_view orderBy = "Syntax error in ORDER BY clause.";
inline constexpr std::string_view groupBy = "Syntax error in GROUP BY clause.";
inline constexpr std::string_view selectStatement =
    "The SELECT statement includes a reserved word or an argument name that is misspelled or "
    "missing, or the punctuation is incorrect.";
inline constexpr std::string_view unknownStatement =
    "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.";
inline constexpr std::string_view trailingCharacters =
    "Characters found after end of SQL statement.";

// What went wrong inside a query expression; the message quotes the expression's text.
enum class ExpressionFault { MissingOperator, Comma, MissingParen, String, Date, Arguments };

std::string expressionMessage(ExpressionFault fault, std::string_view expressionText);
std::string bracketingMessage(std::string_view nameText);

} // namespace sql::messages
