// CREATE TABLE, CREATE INDEX, DROP and ALTER TABLE, with column definitions and constraints.
#include "sql/syntax/ParserCore.h"

#include <charconv>
#include <limits>

namespace sql {

namespace {

bool readUnsigned(const Token& t, std::uint32_t& out) {
    if (t.kind != TokenKind::Integer) return false;
    auto [end, error] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), out);
    return error == std::errc{} && end == t.text.data() + t.text.size();
}

} // namespace

Statement::Node Parser::create() {
    ClauseScope clause(*this, messages::createTable);
    advance();
    if (accept(Keyword::Table)) return createTable();
    if (at(Keyword::Unique) && peek(1).is(Keyword::Index)) {
        advance();
        advance();
        return createIndex(true);
    }
    if (accept(Keyword::Index)) return createIndex(false);
    fail();
}

CreateTable Parser::createTable() {
    CreateTable table;
    table.name = name();
    expect(TokenKind::LParen);
    do {
        if (atTableConstraint()) {
            table.constraints.push_back(tableConstraint());
        } else {
            table.columns.push_back(columnDefinition());
        }
    } while (accept(TokenKind::Comma));
    expect(TokenKind::RParen);
    endOfStatement();
    return table;
}

bool Parser::atTableConstraint() const {
    return at(Keyword::Constraint) || at(Keyword::Primary) || at(Keyword::Unique) ||
           at(Keyword::Foreign) || at(Keyword::Check);
}

// The clauses after the type may come in any order; each may appear once.
ColumnDef Parser::columnDefinition() {
    ClauseScope clause(*this, messages::fieldDefinition);
    ColumnDef column;
    column.offset = peek().offset;
    column.name = name();
    column.type = columnType();
    while (true) {
        if (at(Keyword::Not)) {
            advance();
            expect(Keyword::Null);
            column.notNull = true;
        } else if (accept(Keyword::Null)) {
            // Explicitly optional, as a column is anyway.
        } else if (at(Keyword::Default)) {
            if (column.defaultValue) fail();
            advance();
            ExpressionScope scope(*this, ExpressionScope::Report::AsClause);
            column.defaultValue = expression();
        } else if (at(Keyword::With)) {
            advance();
            if (!accept(Keyword::Compression) && !accept(Keyword::Comp)) fail();
            column.type.compressed = true;
        } else if (at(Keyword::Constraint)) {
            ClauseScope constraint(*this, messages::constraint);
            advance();
            std::string constraintName = name();
            columnConstraint(column, std::move(constraintName));
        } else if (at(Keyword::Primary) || at(Keyword::Unique) || at(Keyword::References)) {
            ClauseScope constraint(*this, messages::constraint);
            columnConstraint(column, {});
        } else {
            // Whatever else follows is a mistake in this definition ("default "a"b"").
            if (!at(TokenKind::Comma) && !at(TokenKind::RParen) && !at(TokenKind::Semicolon) &&
                !at(TokenKind::End))
                fail();
            return column;
        }
    }
}

void Parser::columnConstraint(ColumnDef& column, std::string constraintName) {
    Constraint c;
    c.name = std::move(constraintName);
    c.offset = peek().offset;
    c.columns = {column.name};
    if (accept(Keyword::Primary)) {
        expect(Keyword::Key);
        c.kind = ConstraintKind::PrimaryKey;
    } else if (accept(Keyword::Unique)) {
        c.kind = ConstraintKind::Unique;
    } else if (at(Keyword::Not)) {
        // A named NOT NULL makes the column required and leaves no constraint object behind.
        advance();
        expect(Keyword::Null);
        column.notNull = true;
        return;
    } else if (at(Keyword::References)) {
        c.kind = ConstraintKind::ForeignKey;
        references(c);
    } else {
        fail();
    }
    column.constraints.push_back(std::move(c));
}

void Parser::references(Constraint& constraint) {
    expect(Keyword::References);
    constraint.referencedTable = name();
    if (at(TokenKind::LParen)) constraint.referencedColumns = nameList();
    while (accept(Keyword::On)) {
        ReferentialAction* action = nullptr;
        if (accept(Keyword::Update)) {
            action = &constraint.onUpdate;
        } else if (accept(Keyword::Delete)) {
            action = &constraint.onDelete;
        } else {
            fail();
        }
        if (accept(Keyword::Cascade)) {
            *action = ReferentialAction::Cascade;
        } else if (accept(Keyword::Set)) {
            expect(Keyword::Null);
            *action = ReferentialAction::SetNull;
        } else if (accept(Keyword::No)) {
            expect(Keyword::Action);
            *action = ReferentialAction::Restrict;
        } else {
            fail();
        }
    }
}

Constraint Parser::tableConstraint() {
    ClauseScope clause(*this, messages::constraint);
    Constraint c;
    c.offset = peek().offset;
    if (accept(Keyword::Constraint)) c.name = name();
    if (accept(Keyword::Primary)) {
        expect(Keyword::Key);
        c.kind = ConstraintKind::PrimaryKey;
        c.columns = nameList();
    } else if (accept(Keyword::Unique)) {
        c.kind = ConstraintKind::Unique;
        c.columns = nameList();
    } else if (accept(Keyword::Not)) {
        expect(Keyword::Null);
        c.kind = ConstraintKind::NotNull;
        c.columns = nameList();
    } else if (accept(Keyword::Foreign)) {
        expect(Keyword::Key);
        c.kind = ConstraintKind::ForeignKey;
        if (accept(Keyword::No)) {
            expect(Keyword::Index);
            c.noIndex = true;
        }
        c.columns = nameList();
        references(c);
    } else if (accept(Keyword::Check)) {
        c.kind = ConstraintKind::Check;
        expect(TokenKind::LParen);
        ExpressionScope scope(*this, ExpressionScope::Report::AsClause);
        c.check = expression();
        expect(TokenKind::RParen);
    } else {
        fail();
    }
    if (!at(TokenKind::Comma) && !at(TokenKind::RParen) && !at(TokenKind::Semicolon) &&
        !at(TokenKind::End))
        fail();
    return c;
}

// A type is one to three words ("long", "double precision", "national character varying")
// and maybe numbers in parentheses; the longest spelling Jet knows wins.
ColumnType Parser::columnType() {
    ColumnType type;
    std::optional<TypeName> found;
    std::size_t words = 0;
    std::string written;
    for (std::size_t n = 1; n <= 3; ++n) {
        const Token& t = peek(n - 1);
        if (t.kind != TokenKind::Word || isReserved(t.keyword)) break;
        std::string candidate = n == 1 ? t.text : written + " " + t.text;
        if (auto named = typeNamed(candidate)) {
            found = named;
            words = n;
            type.written = candidate;
        }
        written = std::move(candidate);
    }
    if (!found) fail();
    for (std::size_t i = 0; i < words; ++i) advance();
    type.type = found->type;

    if (found->type == FieldType::Decimal) type.precision = defaultDecimalPrecision;
    if (at(TokenKind::LParen)) {
        advance();
        std::uint32_t first = 0;
        switch (found->arguments) {
        case TypeArguments::None:
            fail();
        case TypeArguments::Size:
            // text() is an error, text(0) the largest size.
            if (!readUnsigned(peek(), first)) fail();
            advance();
            type.size = first;
            break;
        case TypeArguments::PrecisionScale: {
            std::uint32_t scale = 0;
            if (!readUnsigned(peek(), first)) fail();
            advance();
            if (accept(TokenKind::Comma)) {
                if (!readUnsigned(peek(), scale)) fail();
                advance();
            }
            if (first < 1 || first > 28 || scale > first) fail();
            type.precision = std::uint8_t(first);
            type.scale = std::uint8_t(scale);
            break;
        }
        case TypeArguments::SeedIncrement: {
            auto signedNumber = [this]() {
                const bool negative = accept(TokenKind::Minus);
                std::uint32_t magnitude = 0;
                if (!readUnsigned(peek(), magnitude) ||
                    magnitude > std::uint32_t(std::numeric_limits<std::int32_t>::max()))
                    fail();
                advance();
                return negative ? -std::int32_t(magnitude) : std::int32_t(magnitude);
            };
            type.seed = signedNumber();
            if (accept(TokenKind::Comma)) type.increment = signedNumber();
            break;
        }
        }
        expect(TokenKind::RParen);
    }
    if (type.type == FieldType::Text && type.size == 0) type.size = maxTextSize;
    if (type.type == FieldType::Binary && type.size == 0) type.size = maxBinarySize;
    return type;
}

CreateIndex Parser::createIndex(bool unique) {
    ClauseScope clause(*this, messages::createIndex);
    CreateIndex index;
    index.unique = unique;
    index.name = name();
    expect(Keyword::On);
    index.table = name();
    expect(TokenKind::LParen);
    do {
        IndexColumn column;
        column.name = name();
        if (accept(Keyword::Desc)) {
            column.descending = true;
        } else {
            accept(Keyword::Asc);
        }
        index.columns.push_back(std::move(column));
    } while (accept(TokenKind::Comma));
    expect(TokenKind::RParen);
    if (accept(Keyword::With)) {
        do {
            if (accept(Keyword::Primary)) {
                index.primary = true;
            } else if (accept(Keyword::Disallow)) {
                expect(Keyword::Null);
                index.disallowNull = true;
            } else if (accept(Keyword::Ignore)) {
                expect(Keyword::Null);
                index.ignoreNull = true;
            } else {
                fail();
            }
        } while (at(Keyword::Primary) || at(Keyword::Disallow) || at(Keyword::Ignore));
    }
    endOfStatement();
    return index;
}

Statement::Node Parser::drop() {
    ClauseScope clause(*this, messages::dropStatement);
    advance();
    if (accept(Keyword::Table)) {
        DropTable dropTable{name()};
        endOfStatement();
        return dropTable;
    }
    if (accept(Keyword::Index)) {
        DropIndex dropIndex;
        dropIndex.name = name();
        expect(Keyword::On);
        dropIndex.table = name();
        endOfStatement();
        return dropIndex;
    }
    fail();
}

AlterTable Parser::alterTable() {
    ClauseScope clause(*this, messages::alterTable);
    advance();
    expect(Keyword::Table);
    AlterTable alter;
    alter.table = name();
    // COLUMN is optional; "column" followed by a name is the keyword, alone it is a name.
    auto skipColumnWord = [this]() {
        if (at(Keyword::Column) && atName(1)) advance();
    };
    if (accept(Keyword::Add)) {
        if (atTableConstraint()) {
            alter.action = AddConstraint{tableConstraint()};
        } else {
            skipColumnWord();
            alter.action = AddColumn{columnDefinition()};
        }
    } else if (accept(Keyword::Drop)) {
        if (accept(Keyword::Constraint)) {
            alter.action = DropConstraint{name()};
        } else {
            skipColumnWord();
            alter.action = DropColumn{name()};
        }
    } else if (accept(Keyword::Alter)) {
        skipColumnWord();
        alter.action = AlterColumn{columnDefinition()};
    } else {
        fail();
    }
    endOfStatement();
    return alter;
}

} // namespace sql
