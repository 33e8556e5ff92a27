// The statement as a whole: an optional PARAMETERS declaration, then one statement chosen by
// its first word.
#include "sql/syntax/ParserCore.h"

namespace sql {

Statement Parser::statement() {
    Statement statement;
    if (at(Keyword::Parameters)) statement.parameters = parameterDeclarations();
    statement.node = statementBody();
    statement.positionalParameters = parameterCount_;
    return statement;
}

Statement::Node Parser::statementBody() {
    const Token& first = peek();
    if (first.kind == TokenKind::Word) {
        switch (first.keyword) {
        case Keyword::Select: {
            ClauseScope clause(*this, messages::selectStatement);
            SelectQuery query = selectQuery();
            endOfStatement();
            return query;
        }
        case Keyword::Transform: {
            SelectQuery query = crosstabQuery();
            endOfStatement();
            return query;
        }
        case Keyword::Insert:
            return insert();
        case Keyword::Update:
            return update();
        case Keyword::Delete:
            return deleteStatement();
        case Keyword::Create:
            if (peek(1).is(Keyword::View) || peek(1).is(Keyword::Procedure)) return createView();
            return create();
        case Keyword::Drop:
            if (peek(1).is(Keyword::View) || peek(1).is(Keyword::Procedure)) return dropView();
            return drop();
        case Keyword::Alter:
            return alterTable();
        case Keyword::Begin:
        case Keyword::Commit:
        case Keyword::Rollback:
            return transaction();
        default:
            break;
        }
    }
    fail(messages::unknownStatement);
}

// CREATE VIEW name AS select; CREATE PROCEDURE name [(parameter type, ...)] AS select. Both
// save a select query; a procedure may declare parameters.
CreateView Parser::createView() {
    advance();
    CreateView view;
    view.procedure = advance().is(Keyword::Procedure);
    ClauseScope clause(*this, view.procedure ? messages::createProcedure : messages::createView);
    view.name = name();
    if (view.procedure && accept(TokenKind::LParen)) {
        do {
            ParameterDecl declaration;
            declaration.name = name();
            declaration.type = parameterType();
            view.parameters.push_back(std::move(declaration));
        } while (accept(TokenKind::Comma));
        expect(TokenKind::RParen);
    }
    expect(Keyword::As);
    if (!at(Keyword::Select)) fail();
    {
        ClauseScope body(*this, messages::selectStatement);
        view.query = std::make_unique<SelectQuery>(selectQuery());
    }
    endOfStatement();
    return view;
}

DropView Parser::dropView() {
    ClauseScope clause(*this, messages::dropView);
    advance();
    DropView drop;
    drop.procedure = advance().is(Keyword::Procedure);
    drop.name = name();
    endOfStatement();
    return drop;
}

// A declared parameter's type: a column type, or `Value` for one left open.
std::optional<ColumnType> Parser::parameterType() {
    if (at(TokenKind::Word) && equalsFolded(peek().text, "value")) {
        advance();
        return std::nullopt;
    }
    return columnType();
}

std::vector<ParameterDecl> Parser::parameterDeclarations() {
    ClauseScope clause(*this, messages::parameters);
    advance();
    std::vector<ParameterDecl> declarations;
    do {
        ParameterDecl declaration;
        declaration.name = referenceName();
        declaration.type = parameterType();
        declarations.push_back(std::move(declaration));
    } while (accept(TokenKind::Comma));
    expect(TokenKind::Semicolon);
    return declarations;
}

Transaction Parser::transaction() {
    ClauseScope clause(*this, messages::transaction);
    const Keyword word = advance().keyword;
    Transaction transaction{TransactionOp::Begin};
    if (word == Keyword::Begin) {
        expect(Keyword::Transaction);
    } else {
        transaction.op = word == Keyword::Commit ? TransactionOp::Commit : TransactionOp::Rollback;
        if (!accept(Keyword::Transaction)) accept(Keyword::Work);
    }
    endOfStatement();
    return transaction;
}

ExprPtr Parser::standaloneExpression() {
    if (at(TokenKind::End))
        fail(messages::expressionMessage(messages::ExpressionFault::MissingOperator, ""));
    ExpressionScope scope(*this);
    ExprPtr e = expression();
    if (at(TokenKind::OpenString)) failExpression(messages::ExpressionFault::String);
    if (!at(TokenKind::End)) failExpression(messages::ExpressionFault::MissingOperator);
    return e;
}

} // namespace sql
