#pragma once
// Joins of two inputs whose rows share one layout: each input fills its own slots and
// locators and leaves the other side's Null, so a joined row is the left row with the right
// side's part copied in. The right input is read once per open and held.
#include "sql/engine/execution/Operator.h"
#include "sql/engine/planning/BoundExpr.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace sql {

// Which side keeps its rows when nothing matches: Inner neither, Left the left, Right the right.
enum class JoinType { Inner, Left, Right };

struct JoinShape {
    JoinType type = JoinType::Inner;
    SlotRange rightSlots;    // the right input's part of the row
    SlotRange rightLocators; // and of the locators
};

// Every pair of rows for which every part of the condition is True.
class NestedLoopJoin : public Operator {
public:
    NestedLoopJoin(OperatorPtr left, OperatorPtr right, BoundList condition, JoinShape shape);
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    OperatorPtr left_, right_;
    BoundList condition_; // every part must be True
    JoinShape shape_;
    std::vector<ResultRow> rightRows_;
    std::vector<bool> rightMatched_;
    ResultRow current_;
    bool haveLeft_ = false, leftMatched_ = false, leftDone_ = false;
    std::size_t rightIndex_ = 0;
    const Runtime* rt_ = nullptr;
    const Frame* outer_ = nullptr;
};

// Pairs whose key values are equal (by their sort keys: text without regard to case,
// numbers by value), and for which the remaining condition (if any) is True. A Null key
// value matches nothing.
class HashJoin : public Operator {
public:
    HashJoin(OperatorPtr left, OperatorPtr right, BoundList leftKeys, BoundList rightKeys,
             BoundList residual, JoinShape shape);
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    // The key of a row; false when a key value is Null.
    bool keyOf(const BoundList& keys, const ResultRow& row, std::string& key) const;

    OperatorPtr left_, right_;
    BoundList leftKeys_, rightKeys_;
    BoundList residual_;
    JoinShape shape_;
    std::vector<ResultRow> rightRows_;
    std::vector<bool> rightMatched_;
    std::unordered_map<std::string, std::vector<std::size_t>> table_;
    ResultRow current_;
    const std::vector<std::size_t>* candidates_ = nullptr;
    std::size_t candidateIndex_ = 0;
    bool haveLeft_ = false, leftMatched_ = false, leftDone_ = false;
    std::size_t unmatchedIndex_ = 0;
    const Runtime* rt_ = nullptr;
    const Frame* outer_ = nullptr;
};

} // namespace sql
