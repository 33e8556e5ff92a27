#pragma once
// Canonical text of parsed trees: lowercase keywords, every operation in parentheses, names
// bracketed when they need it. Tests read structure and precedence from it, and it parses
// back to the same tree.
#include "sql/syntax/Statement.h"

#include <string>
#include <string_view>

namespace sql {

std::string toText(const Expr& expr);
std::string toText(const ColumnRef& column);
std::string toText(const SelectQuery& query);
std::string toText(const Statement& statement);
std::string toText(const ColumnType& type);
// "name type", the type `Value` when the declaration leaves it open.
std::string toText(const ParameterDecl& declaration);

// A name as it must be written: bare when it is a plain word, else in brackets.
std::string nameText(std::string_view name);

} // namespace sql
