// INSERT INTO, UPDATE and DELETE.
#include "sql/syntax/ParserCore.h"

namespace sql {

Insert Parser::insert() {
    ClauseScope clause(*this, messages::insertInto);
    advance();
    expect(Keyword::Into);
    Insert insert;
    insert.table = name();
    if (at(TokenKind::LParen)) insert.columns = nameList();
    if (accept(Keyword::Values)) {
        InsertValues values;
        expect(TokenKind::LParen);
        do {
            values.values.push_back(clauseExpression());
        } while (accept(TokenKind::Comma));
        expect(TokenKind::RParen);
        insert.source = std::move(values);
    } else if (at(Keyword::Select)) {
        ClauseScope select(*this, messages::selectStatement);
        insert.source = selectQuery();
    } else {
        fail();
    }
    endOfStatement();
    return insert;
}

Update Parser::update() {
    ClauseScope clause(*this, messages::update);
    advance();
    Update update;
    update.target = tableRef();
    expect(Keyword::Set);
    do {
        Assignment assignment;
        assignment.offset = peek().offset;
        std::string first = name();
        if (accept(TokenKind::Dot) || accept(TokenKind::Bang)) {
            assignment.column.table = std::move(first);
            if (!at(TokenKind::Word) && !atName()) fail();
            assignment.column.column = advance().text;
        } else {
            assignment.column.column = std::move(first);
        }
        expect(TokenKind::Equal);
        assignment.value = clauseExpression();
        update.assignments.push_back(std::move(assignment));
    } while (accept(TokenKind::Comma));
    if (accept(Keyword::Where)) update.where = clauseExpression();
    endOfStatement();
    return update;
}

Delete Parser::deleteStatement() {
    ClauseScope clause(*this, messages::deleteStatement);
    advance();
    Delete del;
    while (!at(Keyword::From)) {
        SelectItem target;
        target.offset = peek().offset;
        if (accept(TokenKind::Star)) {
            target.kind = SelectItem::Kind::AllColumns;
        } else {
            const Token& first = peek();
            std::string table = name();
            if (accept(TokenKind::Dot) || accept(TokenKind::Bang)) {
                if (accept(TokenKind::Star)) {
                    target.kind = SelectItem::Kind::AllColumns;
                    target.table = std::move(table);
                } else {
                    if (!at(TokenKind::Word) && !atName()) fail();
                    const Token& column = advance();
                    target.expr = makeExpr(first.offset, column.end,
                                           ColumnRef{std::move(table), column.text});
                }
            } else {
                target.expr = makeExpr(first.offset, first.end, ColumnRef{{}, std::move(table)});
            }
        }
        del.targets.push_back(std::move(target));
        if (!accept(TokenKind::Comma)) break;
    }
    expect(Keyword::From);
    del.from = fromList();
    if (accept(Keyword::Where)) del.where = clauseExpression();
    endOfStatement();
    return del;
}

} // namespace sql
