#include "sql/engine/execution/JoinOperators.h"

#include "sql/engine/execution/SortKey.h"

namespace sql {

namespace {

void readAll(Operator& input, std::vector<ResultRow>& rows) {
    rows.clear();
    ResultRow row;
    while (input.next(row)) rows.push_back(row);
}

// The left row with the right side's part taken from `right`.
void combine(const ResultRow& left, const ResultRow& right, const JoinShape& shape,
             ResultRow& out) {
    out = left;
    for (std::size_t i = 0; i < shape.rightSlots.count; ++i)
        out.values[shape.rightSlots.first + i] = right.values[shape.rightSlots.first + i];
    for (std::size_t i = 0; i < shape.rightLocators.count; ++i)
        out.locators[shape.rightLocators.first + i] = right.locators[shape.rightLocators.first + i];
}

} // namespace

NestedLoopJoin::NestedLoopJoin(OperatorPtr left, OperatorPtr right, BoundList condition,
                               JoinShape shape)
    : left_(std::move(left)), right_(std::move(right)), condition_(std::move(condition)),
      shape_(shape) {}

void NestedLoopJoin::open(const Runtime& rt, const Frame* outer) {
    rt_ = &rt;
    outer_ = outer;
    right_->open(rt, outer);
    readAll(*right_, rightRows_);
    rightMatched_.assign(rightRows_.size(), false);
    left_->open(rt, outer);
    haveLeft_ = leftDone_ = false;
    rightIndex_ = 0;
}

bool NestedLoopJoin::next(ResultRow& row) {
    while (!leftDone_) {
        if (!haveLeft_) {
            if (!left_->next(current_)) {
                leftDone_ = true;
                rightIndex_ = 0;
                break;
            }
            haveLeft_ = true;
            leftMatched_ = false;
            rightIndex_ = 0;
        }
        while (rightIndex_ < rightRows_.size()) {
            const std::size_t r = rightIndex_++;
            combine(current_, rightRows_[r], shape_, row);
            if (allPass(condition_, *rt_, Frame{row.values, outer_})) {
                leftMatched_ = true;
                rightMatched_[r] = true;
                return true;
            }
        }
        haveLeft_ = false;
        if (shape_.type == JoinType::Left && !leftMatched_) {
            row = current_; // its right part is still Null
            return true;
        }
    }
    if (shape_.type == JoinType::Right) {
        while (rightIndex_ < rightRows_.size()) {
            const std::size_t r = rightIndex_++;
            if (!rightMatched_[r]) {
                row = rightRows_[r];
                return true;
            }
        }
    }
    return false;
}

HashJoin::HashJoin(OperatorPtr left, OperatorPtr right, BoundList leftKeys, BoundList rightKeys,
                   BoundList residual, JoinShape shape)
    : left_(std::move(left)), right_(std::move(right)), leftKeys_(std::move(leftKeys)),
      rightKeys_(std::move(rightKeys)), residual_(std::move(residual)), shape_(shape) {}

bool HashJoin::keyOf(const BoundList& keys, const ResultRow& row, std::string& key) const {
    key.clear();
    Frame frame{row.values, outer_};
    for (const auto& k : keys) {
        core::Value v = k->eval(*rt_, frame);
        if (v.isNull()) return false;
        appendSortKey(key, v);
    }
    return true;
}

void HashJoin::open(const Runtime& rt, const Frame* outer) {
    rt_ = &rt;
    outer_ = outer;
    right_->open(rt, outer);
    readAll(*right_, rightRows_);
    rightMatched_.assign(rightRows_.size(), false);
    table_.clear();
    std::string key;
    for (std::size_t i = 0; i < rightRows_.size(); ++i)
        if (keyOf(rightKeys_, rightRows_[i], key)) table_[key].push_back(i);
    left_->open(rt, outer);
    haveLeft_ = leftDone_ = false;
    candidates_ = nullptr;
    unmatchedIndex_ = 0;
}

bool HashJoin::next(ResultRow& row) {
    std::string key;
    while (!leftDone_) {
        if (!haveLeft_) {
            if (!left_->next(current_)) {
                leftDone_ = true;
                break;
            }
            haveLeft_ = true;
            leftMatched_ = false;
            candidateIndex_ = 0;
            candidates_ = nullptr;
            if (keyOf(leftKeys_, current_, key)) {
                auto it = table_.find(key);
                if (it != table_.end()) candidates_ = &it->second;
            }
        }
        while (candidates_ && candidateIndex_ < candidates_->size()) {
            const std::size_t r = (*candidates_)[candidateIndex_++];
            combine(current_, rightRows_[r], shape_, row);
            if (allPass(residual_, *rt_, Frame{row.values, outer_})) {
                leftMatched_ = true;
                rightMatched_[r] = true;
                return true;
            }
        }
        haveLeft_ = false;
        if (shape_.type == JoinType::Left && !leftMatched_) {
            row = current_;
            return true;
        }
    }
    if (shape_.type == JoinType::Right) {
        while (unmatchedIndex_ < rightRows_.size()) {
            const std::size_t r = unmatchedIndex_++;
            if (!rightMatched_[r]) {
                row = rightRows_[r];
                return true;
            }
        }
    }
    return false;
}

} // namespace sql
