// SELECT: blocks, UNION, the select list, FROM with Jet's parenthesised joins, and the
// clauses after it.
#include "sql/syntax/ParserCore.h"

#include <charconv>

namespace sql {

std::unique_ptr<SelectQuery> Parser::subquery() {
    // The subquery's own clauses report its errors, not the expression around it.
    ExpressionScope none(*this, ExpressionScope::Report::None);
    ClauseScope clause(*this, messages::selectStatement);
    NestingScope nesting(*this, NestingScope::Kind::Subquery);
    return std::make_unique<SelectQuery>(selectQuery());
}

SelectQuery Parser::selectQuery() {
    SelectQuery query;
    query.offset = peek().offset;
    query.first = at(Keyword::Table) ? tableBlock() : selectBlock(&query.into);
    while (accept(Keyword::Union)) {
        UnionPart part;
        part.all = accept(Keyword::All);
        if (!at(Keyword::Select) && !at(Keyword::Table)) fail();
        part.block = at(Keyword::Table) ? tableBlock() : selectBlock(nullptr);
        query.unions.push_back(std::move(part));
    }
    if (at(Keyword::Order)) query.orderBy = orderBy();
    return query;
}

SelectBlock Parser::selectBlock(std::string* into) {
    SelectBlock block;
    block.offset = peek().offset;
    expect(Keyword::Select);
    if (accept(Keyword::Distinct)) {
        block.quantifier = SetQuantifier::Distinct;
    } else if (accept(Keyword::DistinctRow)) {
        block.quantifier = SetQuantifier::DistinctRow;
    } else {
        accept(Keyword::All);
    }
    if (accept(Keyword::Top)) {
        if (!at(TokenKind::Integer)) fail();
        const std::string& digits = peek().text;
        Top top;
        auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), top.count);
        if (error != std::errc{}) fail();
        advance();
        top.percent = accept(Keyword::Percent);
        block.top = top;
    }
    do {
        block.items.push_back(selectItem());
    } while (accept(TokenKind::Comma));
    if (at(Keyword::Into)) {
        // Only the first block of a union may create a table.
        if (!into) fail();
        advance();
        *into = name();
    }
    if (accept(Keyword::From)) block.from = fromList();
    if (accept(Keyword::Where)) block.where = clauseExpression();
    if (at(Keyword::Group)) block.groupBy = groupBy();
    if (accept(Keyword::Having)) block.having = clauseExpression();
    return block;
}

SelectItem Parser::selectItem() {
    SelectItem item;
    item.offset = peek().offset;
    ExpressionScope scope(*this);
    const bool qualifier = peek().is(TokenKind::Word) || peek().is(TokenKind::QuotedName);
    if (at(TokenKind::Star)) {
        advance();
        item.kind = SelectItem::Kind::AllColumns;
        endOfExpression();
        return item;
    }
    if (qualifier && (peek(1).is(TokenKind::Dot) || peek(1).is(TokenKind::Bang)) &&
        peek(2).is(TokenKind::Star)) {
        item.kind = SelectItem::Kind::AllColumns;
        item.table = advance().text;
        advance();
        advance();
        endOfExpression();
        return item;
    }
    item.expr = expression();
    item.alias = optionalAlias();
    endOfExpression();
    return item;
}

std::vector<TableRefPtr> Parser::fromList() {
    ClauseScope clause(*this, messages::fromClause);
    std::vector<TableRefPtr> refs;
    do {
        refs.push_back(tableRef());
    } while (accept(TokenKind::Comma));
    // Anything else after the sources is a mistake in them ("from a b c").
    switch (peek().kind) {
    case TokenKind::End:
    case TokenKind::Semicolon:
    case TokenKind::RParen:
        break;
    default:
        if (!at(Keyword::Where) && !at(Keyword::Group) && !at(Keyword::Having) &&
            !at(Keyword::Order) && !at(Keyword::Union))
            fail();
    }
    return refs;
}

TableRefPtr Parser::tableRef() {
    TableRefPtr left = tablePrimary();
    for (std::size_t joins = 1;; ++joins) {
        JoinKind kind;
        if (at(Keyword::Inner)) {
            kind = JoinKind::Inner;
        } else if (at(Keyword::Left)) {
            kind = JoinKind::Left;
        } else if (at(Keyword::Right)) {
            kind = JoinKind::Right;
        } else if (at(Keyword::Join)) {
            // Jet wants the kind of join spelled out.
            fail(messages::joinOperation);
        } else {
            return left;
        }
        // Each join nests the ones before it one level deeper.
        limitHeight(joins);
        ClauseScope clause(*this, messages::joinOperation);
        advance();
        if (kind != JoinKind::Inner) accept(Keyword::Outer);
        expect(Keyword::Join);
        TableRefPtr right = tablePrimary();
        expect(Keyword::On);
        ExprPtr condition = clauseExpression();
        auto join = std::make_unique<TableRef>();
        join->offset = left->offset;
        join->node = Join{kind, std::move(left), std::move(right), std::move(condition)};
        left = std::move(join);
    }
}

TableRefPtr Parser::tablePrimary() {
    auto ref = std::make_unique<TableRef>();
    ref->offset = peek().offset;
    if (at(TokenKind::LParen)) {
        advance();
        NestingScope nesting(*this);
        if (at(Keyword::Select)) {
            DerivedTable derived;
            derived.query = subquery();
            expect(TokenKind::RParen);
            derived.alias = optionalAlias();
            ref->node = std::move(derived);
            return ref;
        }
        // Jet nests joins in parentheses: FROM (A INNER JOIN B ON ...) INNER JOIN C ON ...
        TableRefPtr inner = tableRef();
        expect(TokenKind::RParen);
        return inner;
    }
    NamedTable table;
    table.name = name();
    table.alias = optionalAlias();
    ref->node = std::move(table);
    return ref;
}

ExprList Parser::groupBy() {
    ClauseScope clause(*this, messages::groupBy);
    advance();
    expect(Keyword::By);
    ExprList items;
    do {
        items.push_back(clauseExpression());
    } while (accept(TokenKind::Comma));
    return items;
}

std::vector<OrderItem> Parser::orderBy() {
    ClauseScope clause(*this, messages::orderBy);
    advance();
    expect(Keyword::By);
    std::vector<OrderItem> items;
    do {
        ExpressionScope scope(*this);
        OrderItem item;
        item.expr = expression();
        if (accept(Keyword::Desc)) {
            item.descending = true;
        } else {
            accept(Keyword::Asc);
        }
        endOfExpression();
        items.push_back(std::move(item));
    } while (accept(TokenKind::Comma));
    return items;
}

} // namespace sql
