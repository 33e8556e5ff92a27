// Expressions, with VBA's operator precedence: ^, unary -, * /, \, Mod, + -, &,
// comparisons and Like/Between/In/Is, Not, And, Or, Xor, Eqv, Imp.
#include "sql/syntax/Literals.h"
#include "sql/syntax/ParserCore.h"
#include "sql/syntax/SyntaxError.h"

#include <array>
#include <limits>

namespace sql {

using messages::ExpressionFault;

namespace {

Aggregate aggregateNamed(std::string_view name) {
    struct Entry {
        std::string_view name;
        Aggregate aggregate;
    };
    static constexpr std::array<Entry, 11> entries{{
        {"count", Aggregate::Count},
        {"sum", Aggregate::Sum},
        {"avg", Aggregate::Avg},
        {"min", Aggregate::Min},
        {"max", Aggregate::Max},
        {"first", Aggregate::First},
        {"last", Aggregate::Last},
        {"stdev", Aggregate::StDev},
        {"stdevp", Aggregate::StDevP},
        {"var", Aggregate::Var},
        {"varp", Aggregate::VarP},
    }};
    for (const Entry& e : entries)
        if (equalsFolded(name, e.name)) return e.aggregate;
    return Aggregate::None;
}

std::optional<BinaryOperator> comparisonOp(TokenKind kind) {
    switch (kind) {
    case TokenKind::Equal:
        return BinaryOperator::Equal;
    case TokenKind::NotEqual:
        return BinaryOperator::NotEqual;
    case TokenKind::Less:
        return BinaryOperator::Less;
    case TokenKind::Greater:
        return BinaryOperator::Greater;
    case TokenKind::LessEqual:
        return BinaryOperator::LessEqual;
    case TokenKind::GreaterEqual:
        return BinaryOperator::GreaterEqual;
    default:
        return std::nullopt;
    }
}

} // namespace

ExprPtr Parser::binary(BinaryOperator op, ExprPtr left, ExprPtr right) {
    const std::size_t offset = left->offset, end = right->end;
    ExprPtr e = makeExpr(offset, end, Binary{op, std::move(left), std::move(right)});
    // A chain such as 1+1+1... grows the tree by one level a term without any nesting.
    limitHeight(e->height);
    return e;
}

ExprPtr Parser::clauseExpression() {
    ExpressionScope scope(*this);
    ExprPtr e = expression();
    endOfExpression();
    return e;
}

ExprPtr Parser::expression() {
    NestingScope nesting(*this);
    return impExpr();
}

ExprPtr Parser::impExpr() {
    ExprPtr left = eqvExpr();
    while (accept(Keyword::Imp)) left = binary(BinaryOperator::Imp, std::move(left), eqvExpr());
    return left;
}

ExprPtr Parser::eqvExpr() {
    ExprPtr left = xorExpr();
    while (accept(Keyword::Eqv)) left = binary(BinaryOperator::Eqv, std::move(left), xorExpr());
    return left;
}

ExprPtr Parser::xorExpr() {
    ExprPtr left = orExpr();
    while (accept(Keyword::Xor)) left = binary(BinaryOperator::Xor, std::move(left), orExpr());
    return left;
}

ExprPtr Parser::orExpr() {
    ExprPtr left = andExpr();
    while (accept(Keyword::Or)) left = binary(BinaryOperator::Or, std::move(left), andExpr());
    return left;
}

ExprPtr Parser::andExpr() {
    ExprPtr left = notExpr();
    while (accept(Keyword::And)) left = binary(BinaryOperator::And, std::move(left), notExpr());
    return left;
}

ExprPtr Parser::notExpr() {
    if (!at(Keyword::Not)) return comparison();
    const std::size_t offset = advance().offset;
    NestingScope nesting(*this);
    ExprPtr operand = notExpr();
    const std::size_t end = operand->end;
    return makeExpr(offset, end, Unary{UnaryOperator::Not, std::move(operand)});
}

ExprPtr Parser::comparison() {
    ExprPtr left = concatenation();
    while (true) {
        if (auto op = comparisonOp(peek().kind)) {
            advance();
            left = binary(*op, std::move(left), concatenation());
            continue;
        }
        // "not" continues the expression only as "not like", "not between" or "not in";
        // otherwise it belongs to whatever follows (DEFAULT 0 NOT NULL).
        bool negated = false;
        if (at(Keyword::Not) && (peek(1).is(Keyword::Like) || peek(1).is(Keyword::Between) ||
                                 peek(1).is(Keyword::In))) {
            advance();
            negated = true;
        }
        const std::size_t offset = left->offset;
        if (accept(Keyword::Like)) {
            ExprPtr pattern = concatenation();
            const std::size_t end = pattern->end;
            left = makeExpr(offset, end, Like{std::move(left), std::move(pattern), negated});
        } else if (accept(Keyword::Between)) {
            ExprPtr low = concatenation();
            if (!accept(Keyword::And)) failExpression(ExpressionFault::MissingOperator);
            ExprPtr high = concatenation();
            const std::size_t end = high->end;
            left = makeExpr(offset, end,
                            Between{std::move(left), std::move(low), std::move(high), negated});
        } else if (accept(Keyword::In)) {
            if (!accept(TokenKind::LParen)) failExpression(ExpressionFault::MissingOperator);
            if (at(Keyword::Select)) {
                auto query = subquery();
                if (!at(TokenKind::RParen)) failExpression(ExpressionFault::MissingParen);
                const std::size_t end = advance().end;
                left = makeExpr(offset, end, InQuery{std::move(left), std::move(query), negated});
            } else {
                ExprList items;
                do {
                    items.push_back(expression());
                } while (accept(TokenKind::Comma));
                if (!at(TokenKind::RParen)) failExpression(ExpressionFault::MissingParen);
                const std::size_t end = advance().end;
                left = makeExpr(offset, end, InList{std::move(left), std::move(items), negated});
            }
        } else if (at(Keyword::Is)) {
            advance();
            const bool isNot = accept(Keyword::Not);
            if (!at(Keyword::Null)) failExpression(ExpressionFault::MissingOperator);
            const std::size_t end = advance().end;
            left = makeExpr(offset, end, IsNull{std::move(left), isNot});
        } else {
            return left;
        }
        limitHeight(left->height);
    }
}

ExprPtr Parser::concatenation() {
    ExprPtr left = additive();
    while (accept(TokenKind::Ampersand))
        left = binary(BinaryOperator::Concat, std::move(left), additive());
    return left;
}

ExprPtr Parser::additive() {
    ExprPtr left = modulo();
    while (at(TokenKind::Plus) || at(TokenKind::Minus)) {
        const BinaryOperator op = advance().kind == TokenKind::Plus ? BinaryOperator::Add : BinaryOperator::Subtract;
        left = binary(op, std::move(left), modulo());
    }
    return left;
}

ExprPtr Parser::modulo() {
    ExprPtr left = intDivision();
    while (accept(Keyword::Mod)) left = binary(BinaryOperator::Mod, std::move(left), intDivision());
    return left;
}

ExprPtr Parser::intDivision() {
    ExprPtr left = multiplicative();
    while (accept(TokenKind::Backslash))
        left = binary(BinaryOperator::IntDivide, std::move(left), multiplicative());
    return left;
}

ExprPtr Parser::multiplicative() {
    ExprPtr left = unary();
    while (at(TokenKind::Star) || at(TokenKind::Slash)) {
        const BinaryOperator op =
            advance().kind == TokenKind::Star ? BinaryOperator::Multiply : BinaryOperator::Divide;
        left = binary(op, std::move(left), unary());
    }
    return left;
}

// A sign directly before a number becomes part of the literal, so that -2147483648 is a
// Long like Jet reads it and the binder sees constants rather than negations.
ExprPtr Parser::unary() {
    if (!at(TokenKind::Minus) && !at(TokenKind::Plus)) return power();
    const Token& sign = advance();
    const std::size_t offset = sign.offset;
    const bool negate = sign.kind == TokenKind::Minus;
    const bool integerNext = at(TokenKind::Integer);
    const std::size_t numberEnd = peek().end;
    NestingScope nesting(*this);
    ExprPtr operand = unary();
    if (auto* lit = operand->as<Literal>(); lit && operand->end == numberEnd) {
        const core::Value& v = lit->value;
        if (const auto* i = v.getIf<std::int32_t>()) {
            operand->node = Literal{core::Value(std::int32_t(negate ? -*i : *i))};
            operand->offset = offset;
            return operand;
        }
        if (const auto* d = v.getIf<double>()) {
            const bool longMinimum = negate && integerNext && *d == 2147483648.0;
            operand->node =
                Literal{longMinimum ? core::Value(std::numeric_limits<std::int32_t>::min())
                                    : core::Value(negate ? -*d : *d)};
            operand->offset = offset;
            return operand;
        }
    }
    const std::size_t end = operand->end;
    return makeExpr(offset, end,
                    Unary{negate ? UnaryOperator::Negate : UnaryOperator::Plus, std::move(operand)});
}

// VBA's ^ binds tighter than a sign before it (-2^2 is -4) but takes a signed exponent.
ExprPtr Parser::power() {
    ExprPtr left = primary();
    while (accept(TokenKind::Caret)) {
        ExprPtr right = at(TokenKind::Minus) || at(TokenKind::Plus) ? unary() : primary();
        left = binary(BinaryOperator::Power, std::move(left), std::move(right));
    }
    return left;
}

ExprPtr Parser::primary() {
    const Token& t = peek();
    switch (t.kind) {
    case TokenKind::Integer:
    case TokenKind::Real:
    case TokenKind::String:
    case TokenKind::Date:
    case TokenKind::OpenString:
    case TokenKind::OpenDate:
        return literal();
    case TokenKind::Parameter: {
        advance();
        return makeExpr(t.offset, t.end, Parameter{parameterCount_++});
    }
    case TokenKind::LParen:
        return parenthesised();
    case TokenKind::QuotedName:
        if (t.text.empty()) failExpression(ExpressionFault::MissingOperator);
        return nameOrCall();
    case TokenKind::Word:
        break;
    default:
        failExpression(ExpressionFault::MissingOperator);
    }
    switch (t.keyword) {
    case Keyword::True:
    case Keyword::Yes:
    case Keyword::On:
    case Keyword::False:
    case Keyword::No:
    case Keyword::Off:
    case Keyword::Null:
        return literal();
    case Keyword::Not:
        return notExpr();
    case Keyword::Exists: {
        advance();
        if (!accept(TokenKind::LParen) || !at(Keyword::Select))
            failExpression(ExpressionFault::MissingOperator);
        auto query = subquery();
        if (!at(TokenKind::RParen)) failExpression(ExpressionFault::MissingParen);
        const std::size_t end = advance().end;
        return makeExpr(t.offset, end, Exists{std::move(query)});
    }
    case Keyword::Left:
    case Keyword::Right:
        if (peek(1).is(TokenKind::LParen)) return nameOrCall();
        break;
    default:
        if (!isReserved(t.keyword)) return nameOrCall();
    }
    failExpression(ExpressionFault::MissingOperator);
}

ExprPtr Parser::literal() {
    const Token& t = peek();
    core::Value value;
    switch (t.kind) {
    case TokenKind::Integer:
    case TokenKind::Real: {
        auto number = numberLiteral(t.text, t.kind == TokenKind::Real);
        if (!number) fail("Overflow");
        value = std::move(*number);
        break;
    }
    case TokenKind::String:
        value = core::Value(t.text);
        break;
    case TokenKind::Date: {
        auto date = dateLiteral(t.text);
        if (!date) failExpression(ExpressionFault::Date);
        value = core::Value(*date);
        break;
    }
    case TokenKind::OpenString:
        failExpression(ExpressionFault::String);
    case TokenKind::OpenDate:
        failExpression(ExpressionFault::Date);
    default:
        switch (t.keyword) {
        case Keyword::True:
        case Keyword::Yes:
        case Keyword::On:
            value = core::Value(true);
            break;
        case Keyword::False:
        case Keyword::No:
        case Keyword::Off:
            value = core::Value(false);
            break;
        default: // Null
            break;
        }
    }
    advance();
    return makeExpr(t.offset, t.end, Literal{std::move(value)});
}

ExprPtr Parser::nameOrCall() {
    const Token& first = advance();
    const std::size_t offset = first.offset;
    if (first.kind == TokenKind::Word && at(TokenKind::LParen)) {
        advance();
        FunctionCall call{first.text, aggregateNamed(first.text), false, {}};
        if (at(TokenKind::Star)) {
            // Only Count takes *.
            if (call.aggregate != Aggregate::Count)
                failExpression(ExpressionFault::MissingOperator);
            advance();
            call.star = true;
        } else if (!at(TokenKind::RParen)) {
            // Count(Distinct x) is not Jet SQL.
            if (at(Keyword::Distinct) || at(Keyword::DistinctRow) || at(Keyword::All))
                failExpression(ExpressionFault::MissingOperator);
            do {
                call.args.push_back(expression());
            } while (accept(TokenKind::Comma));
        }
        if (!at(TokenKind::RParen)) failExpression(ExpressionFault::MissingParen);
        const std::size_t end = advance().end;
        if (call.aggregate != Aggregate::None && !call.star && call.args.size() != 1)
            failExpression(ExpressionFault::Arguments);
        return makeExpr(offset, end, std::move(call));
    }
    if (at(TokenKind::Dot) || at(TokenKind::Bang)) {
        advance();
        // After the qualifier any word is a column name, reserved or not: T.Order is clear.
        const Token& column = peek();
        if (column.kind != TokenKind::Word &&
            !(column.kind == TokenKind::QuotedName && !column.text.empty()))
            failExpression(ExpressionFault::MissingOperator);
        advance();
        if (at(TokenKind::Dot) || at(TokenKind::Bang)) {
            // Forms!Orders!OrderID names no column of a query: Jet asks for it as a
            // parameter of that name. Only a "!" makes a name of three parts one.
            bool bang = tokens_[pos_ - 2].kind == TokenKind::Bang;
            for (std::size_t i = 0; peek(i).is(TokenKind::Dot) || peek(i).is(TokenKind::Bang);
                 i += 2)
                bang = bang || peek(i).is(TokenKind::Bang);
            if (!bang) failExpression(ExpressionFault::MissingOperator);
            const char separator = tokens_[pos_ - 2].kind == TokenKind::Bang ? '!' : '.';
            std::string path = referenceTail(first.text + separator + column.text);
            return makeExpr(offset, tokens_[pos_ - 1].end, ColumnRef{{}, std::move(path)});
        }
        return makeExpr(offset, column.end, ColumnRef{first.text, column.text});
    }
    return makeExpr(offset, first.end, ColumnRef{{}, first.text});
}

ExprPtr Parser::parenthesised() {
    const std::size_t offset = advance().offset;
    if (at(Keyword::Select)) {
        auto query = subquery();
        if (!at(TokenKind::RParen)) failExpression(ExpressionFault::MissingParen);
        const std::size_t end = advance().end;
        return makeExpr(offset, end, ScalarQuery{std::move(query)});
    }
    ExprPtr inner = expression();
    if (at(TokenKind::Comma)) failExpression(ExpressionFault::Comma);
    if (!at(TokenKind::RParen)) failExpression(ExpressionFault::MissingParen);
    // The parentheses become part of the expression's source text.
    inner->offset = offset;
    inner->end = advance().end;
    return inner;
}

} // namespace sql
