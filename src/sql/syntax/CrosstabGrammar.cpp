// TRANSFORM ... SELECT ... PIVOT ... [IN (...)], and the names Access gives objects of the
// application (Forms!Orders!OrderID), which a query holds as parameters.
#include "sql/syntax/ParserCore.h"

namespace sql {

// TRANSFORM aggregate [AS alias] select-statement PIVOT expression [IN (value, ...)]. The
// select statement ends before PIVOT, its ORDER BY included.
SelectQuery Parser::crosstabQuery() {
    ClauseScope clause(*this, messages::transform);
    advance();
    auto crosstab = std::make_unique<Crosstab>();
    {
        ExpressionScope scope(*this);
        crosstab->value = expression();
        crosstab->valueAlias = optionalAlias();
    }
    if (!at(Keyword::Select)) fail();
    SelectQuery query;
    {
        ClauseScope body(*this, messages::selectStatement);
        query = selectQuery();
    }
    // One select block, making no table.
    if (!query.unions.empty() || !query.into.empty()) fail();
    if (!accept(Keyword::Pivot)) fail();
    {
        ExpressionScope scope(*this);
        crosstab->pivot = expression();
        endOfExpression();
    }
    // "PIVOT x IN (a, b)" reads as the comparison x IN (a, b); its list is the headings.
    if (auto* in = crosstab->pivot->as<InList>(); in && !in->negated) {
        crosstab->headings = std::move(in->items);
        crosstab->pivot = std::move(in->value);
    } else if (crosstab->pivot->as<InQuery>() || crosstab->pivot->as<InList>()) {
        fail();
    }
    query.crosstab = std::move(crosstab);
    return query;
}

// A name of one part or of several joined by "!" or ".", as PARAMETERS declares a reference
// to a form's control: "[Forms]![Orders]![OrderID]" is "Forms!Orders!OrderID".
std::string Parser::referenceName() {
    std::string path = name();
    if (!at(TokenKind::Bang) && !at(TokenKind::Dot)) return path;
    return referenceTail(std::move(path));
}

// The rest of a name of several parts after its first: separators and parts as written,
// without brackets.
std::string Parser::referenceTail(std::string path) {
    while (at(TokenKind::Bang) || at(TokenKind::Dot)) {
        path += advance().kind == TokenKind::Bang ? '!' : '.';
        const Token& part = peek();
        if (part.kind != TokenKind::Word &&
            !(part.kind == TokenKind::QuotedName && !part.text.empty()))
            failExpression(messages::ExpressionFault::MissingOperator);
        path += advance().text;
    }
    return path;
}

} // namespace sql
