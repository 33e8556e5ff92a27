// Out-of-line special members of Expr, where SelectQuery is complete.
#include "sql/syntax/Expr.h"
#include "sql/syntax/Select.h"

namespace sql {

Expr::Expr(std::size_t offset, std::size_t end, Node node)
    : offset(offset), end(end), node(std::move(node)) {}
Expr::Expr(Expr&&) noexcept = default;
Expr& Expr::operator=(Expr&&) noexcept = default;
Expr::~Expr() = default;

} // namespace sql
