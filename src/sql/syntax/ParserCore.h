#pragma once
// The recursive-descent parser behind parseStatement: a cursor over the tokens, the grammar
// functions (spread over the *Grammar.cpp files by statement kind) and the error context that
// turns a failure into the message Jet gives for the clause it happens in.
#include "sql/syntax/Messages.h"
#include "sql/syntax/Statement.h"
#include "sql/syntax/Token.h"

#include <optional>
#include <string_view>
#include <vector>

namespace sql {

class Parser {
public:
    explicit Parser(std::string_view text);

    Statement statement();
    ExprPtr standaloneExpression();

private:
    friend class ClauseScope;
    friend class ExpressionScope;
    friend class NestingScope;

    // Cursor.
    const Token& peek(std::size_t ahead = 0) const;
    const Token& advance();
    bool at(Keyword keyword) const { return peek().is(keyword); }
    bool at(TokenKind kind) const { return peek().is(kind); }
    bool accept(Keyword keyword);
    bool accept(TokenKind kind);
    void expect(Keyword keyword);
    void expect(TokenKind kind);

    // Names: a bare word that is not reserved, or a bracketed one.
    bool atName(std::size_t ahead = 0) const;
    std::string name();
    std::string optionalAlias();
    std::vector<std::string> nameList(); // ( a, b, ... )

    // Errors. fail() reports the clause being parsed; failExpression() the query expression.
    [[noreturn]] void fail() const;
    [[noreturn]] void fail(std::string_view message) const;
    [[noreturn]] void failExpression(messages::ExpressionFault fault) const;
    std::string expressionText() const;
    bool isExpressionBoundary(std::size_t index) const;
    void endOfExpression() const;
    // Refuses a tree taller than the engine's walks may recurse through.
    void limitHeight(std::size_t height) const;

    // Statements.
    Statement::Node statementBody();
    std::vector<ParameterDecl> parameterDeclarations();
    std::optional<ColumnType> parameterType();
    Transaction transaction();
    void endOfStatement();

    // SELECT.
    SelectQuery selectQuery();
    SelectBlock selectBlock(std::string* into);
    SelectItem selectItem();
    std::vector<TableRefPtr> fromList();
    TableRefPtr tableRef();
    TableRefPtr tablePrimary();
    std::vector<OrderItem> orderBy();
    ExprList groupBy();
    std::unique_ptr<SelectQuery> subquery();

    // TRANSFORM ... PIVOT; names of objects of the application (Forms!Orders!OrderID).
    SelectQuery crosstabQuery();
    SelectBlock tableBlock();
    std::string referenceName();
    std::string referenceTail(std::string path);

    // INSERT, UPDATE, DELETE.
    Insert insert();
    Update update();
    Delete deleteStatement();

    // CREATE, DROP, ALTER.
    Statement::Node create();
    CreateTable createTable();
    CreateIndex createIndex(bool unique);
    Statement::Node drop();
    CreateView createView();
    DropView dropView();
    AlterTable alterTable();
    ColumnDef columnDefinition();
    ColumnType columnType();
    Constraint tableConstraint();
    void columnConstraint(ColumnDef& column, std::string constraintName);
    void references(Constraint& constraint);
    bool atTableConstraint() const;

    // Expressions, loosest binding first.
    ExprPtr clauseExpression();
    ExprPtr expression();
    ExprPtr impExpr();
    ExprPtr eqvExpr();
    ExprPtr xorExpr();
    ExprPtr orExpr();
    ExprPtr andExpr();
    ExprPtr notExpr();
    ExprPtr comparison();
    ExprPtr concatenation();
    ExprPtr additive();
    ExprPtr modulo();
    ExprPtr intDivision();
    ExprPtr multiplicative();
    ExprPtr unary();
    ExprPtr power();
    ExprPtr primary();
    ExprPtr literal();
    ExprPtr nameOrCall();
    ExprPtr parenthesised();
    ExprPtr binary(BinaryOperator op, ExprPtr left, ExprPtr right);

    std::string_view text_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    int parameterCount_ = 0;

    // The message for a failure in the clause being parsed.
    std::string_view clauseMessage_ = messages::unknownStatement;
    // The first token of the query expression being parsed, quoted by expression messages.
    std::optional<std::size_t> expressionStart_;
    // Inside DEFAULT and CHECK a bad expression is reported as a bad definition.
    bool expressionAsClause_ = false;
    // Open nesting levels (parentheses, calls, signs, Not, subqueries), and subqueries alone.
    std::size_t nesting_ = 0;
    std::size_t subqueries_ = 0;
};

// One more level of nesting for as long as it lives: the parser recurses for it, and so do
// the binder, the evaluator and the printer for the tree it builds. Past the limit the
// statement is refused with Jet's "Query is too complex." long before the stack runs out.
class NestingScope {
public:
    enum class Kind { Expression, Subquery };
    explicit NestingScope(Parser& parser, Kind kind = Kind::Expression);
    ~NestingScope() {
        --parser_.nesting_;
        if (kind_ == Kind::Subquery) --parser_.subqueries_;
    }
    NestingScope(const NestingScope&) = delete;
    NestingScope& operator=(const NestingScope&) = delete;

private:
    Parser& parser_;
    Kind kind_;
};

// Sets the message of failures for as long as it lives.
class ClauseScope {
public:
    ClauseScope(Parser& parser, std::string_view message)
        : parser_(parser), saved_(parser.clauseMessage_) {
        parser.clauseMessage_ = message;
    }
    ~ClauseScope() { parser_.clauseMessage_ = saved_; }
    ClauseScope(const ClauseScope&) = delete;
    ClauseScope& operator=(const ClauseScope&) = delete;

private:
    Parser& parser_;
    std::string_view saved_;
};

// Marks the start of a query expression at the current token for as long as it lives; a
// subquery opens a scope without expression so that its own clauses report their errors.
class ExpressionScope {
public:
    enum class Report { AsExpression, AsClause, None };
    explicit ExpressionScope(Parser& parser, Report report = Report::AsExpression)
        : parser_(parser), savedStart_(parser.expressionStart_),
          savedAsClause_(parser.expressionAsClause_) {
        if (report == Report::None) {
            parser.expressionStart_.reset();
            parser.expressionAsClause_ = false;
        } else {
            parser.expressionStart_ = parser.pos_;
            parser.expressionAsClause_ = report == Report::AsClause;
        }
    }
    ~ExpressionScope() {
        parser_.expressionStart_ = savedStart_;
        parser_.expressionAsClause_ = savedAsClause_;
    }
    ExpressionScope(const ExpressionScope&) = delete;
    ExpressionScope& operator=(const ExpressionScope&) = delete;

private:
    Parser& parser_;
    std::optional<std::size_t> savedStart_;
    bool savedAsClause_;
};

} // namespace sql
