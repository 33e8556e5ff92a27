#pragma once
// Plans the FROM clause of a block with its criteria: sources become scans (through an
// index when a criterion allows), joins become hash joins on their equality conditions or
// nested loops otherwise, and each criterion is checked as early as its columns allow.
#include "sql/engine/execution/JoinOperators.h"
#include "sql/engine/execution/Operator.h"
#include "sql/engine/execution/ScanOperators.h"
#include "sql/engine/planning/CompileContext.h"
#include "sql/engine/planning/ExpressionBinder.h"
#include "sql/engine/planning/QueryCompiler.h"
#include "sql/engine/planning/Scope.h"
#include "sql/syntax/Select.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sql {

class FromPlanner {
public:
    FromPlanner(CompileContext& context, Scope& scope, std::string_view text);
    ~FromPlanner();

    // Adds the sources of a FROM list to the scope, left to right.
    void addSources(const std::vector<TableRefPtr>& from);
    // The one source an UPDATE names (a table or a join).
    void addSource(const TableRef& ref);
    // Binds the ON conditions of the joins; after addSources, before plan.
    void bindConditions(ExpressionBinder& binder);
    // A criterion every joined row must pass (the WHERE clause).
    void addCriterion(BoundPtr criterion);
    // Builds the operators. `slotsRead` are the slots the block's other expressions read;
    // a scan decodes only those columns (and those the criteria read).
    OperatorPtr plan(std::vector<int> slotsRead);

    // The base tables of the FROM clause in locator order (their real names).
    std::vector<std::string> baseTables() const;
    bool hasSources() const { return root_ != nullptr; }

private:
    struct Conjunct {
        BoundPtr expr;
        std::uint64_t mask = 0; // the sources whose columns it reads
    };
    struct Leaf {
        std::optional<TableInfo> table; // base tables
        CompiledQuery derived;          // subqueries and saved queries
    };
    struct Node {
        bool leaf = false;
        std::size_t source = 0; // leaves
        JoinType type = JoinType::Inner;
        std::unique_ptr<Node> left, right;
        const Expr* on = nullptr;
        std::vector<Conjunct> onConjuncts;
        std::uint64_t mask = 0;
        SlotRange slots, locators;
    };

    std::unique_ptr<Node> addRef(const TableRef& ref);
    void addLeaf(Node& node, ScopeSource source, Leaf leaf);
    void addQuery(Node& node, const SelectQuery& query, std::string_view text, std::string name,
                  bool saved);
    void bindNodeConditions(Node& node, ExpressionBinder& binder);
    void finish(Node& node);
    std::uint64_t maskOf(const BoundExpr& expr) const;
    void split(BoundPtr expr, std::vector<Conjunct>& out) const;
    OperatorPtr planNode(Node& node, std::vector<Conjunct> applicable);
    OperatorPtr planLeaf(std::size_t source, std::vector<Conjunct> applicable);
    std::optional<SeekPlan> chooseSeek(std::size_t source,
                                       const std::vector<Conjunct>& criteria) const;

    CompileContext& context_;
    Scope& scope_;
    std::string_view text_;
    std::vector<Leaf> leaves_; // by source
    std::unique_ptr<Node> root_;
    std::vector<Conjunct> criteria_;
    std::vector<bool> slotRead_;
    // Saved queries' texts, which their bound trees' messages point into while binding.
    std::vector<std::unique_ptr<std::string>> viewTexts_;
};

} // namespace sql
