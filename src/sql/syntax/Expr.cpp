// Out-of-line special members of Expr, where SelectQuery is complete.
#include "sql/syntax/Expr.h"
#include "sql/syntax/Select.h"

#include <algorithm>

namespace sql {

namespace {

std::size_t heightOf(const ExprPtr& e) {
    return e ? e->height : 0;
}

std::size_t heightOf(const ExprList& list) {
    std::size_t h = 0;
    for (const auto& e : list) h = std::max(h, heightOf(e));
    return h;
}

// The tallest operand directly below a node.
struct OperandHeight {
    std::size_t operator()(const FunctionCall& n) const { return heightOf(n.args); }
    std::size_t operator()(const Unary& n) const { return heightOf(n.operand); }
    std::size_t operator()(const Binary& n) const {
        return std::max(heightOf(n.left), heightOf(n.right));
    }
    std::size_t operator()(const Like& n) const {
        return std::max(heightOf(n.value), heightOf(n.pattern));
    }
    std::size_t operator()(const Between& n) const {
        return std::max({heightOf(n.value), heightOf(n.low), heightOf(n.high)});
    }
    std::size_t operator()(const InList& n) const {
        return std::max(heightOf(n.value), heightOf(n.items));
    }
    std::size_t operator()(const InQuery& n) const { return heightOf(n.value); }
    std::size_t operator()(const IsNull& n) const { return heightOf(n.value); }
    template <class Leaf> std::size_t operator()(const Leaf&) const { return 0; }
};

} // namespace

Expr::Expr(std::size_t offset, std::size_t end, Node node)
    : offset(offset), end(end), node(std::move(node)),
      height(1 + std::visit(OperandHeight{}, this->node)) {}
Expr::Expr(Expr&&) noexcept = default;
Expr& Expr::operator=(Expr&&) noexcept = default;
Expr::~Expr() = default;

} // namespace sql
