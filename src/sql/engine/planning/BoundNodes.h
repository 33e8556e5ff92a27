#pragma once
// The scalar nodes of bound expressions: constants, columns, parameters, operators,
// function calls and the lazily evaluated IIf.
#include "sql/engine/planning/BoundExpr.h"
#include "sql/eval/FunctionRegistry.h"
#include "sql/eval/Like.h"
#include "sql/eval/Operators.h"

#include <memory>
#include <optional>
#include <string>

namespace sql {

class ConstantExpr : public BoundExpr {
public:
    explicit ConstantExpr(core::Value value);
    core::Value eval(const Runtime&, const Frame&) const override { return value_; }
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int, std::vector<int>&) const override {}
    const core::Value& value() const { return value_; }

private:
    core::Value value_;
};

// A column of the row `depth` levels out (0: the current query's row).
class ColumnExpr : public BoundExpr {
public:
    ColumnExpr(int depth, int slot, core::DataType type)
        : BoundExpr(type), depth_(depth), slot_(slot) {}
    core::Value eval(const Runtime&, const Frame& frame) const override {
        return frame.at(depth_).values[static_cast<std::size_t>(slot_)];
    }
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int depth, std::vector<int>& slots) const override {
        if (depth == depth_) slots.push_back(slot_);
    }
    int depth() const { return depth_; }
    int slot() const { return slot_; }

private:
    int depth_;
    int slot_;
};

// One parameter of the statement; its position among the values is fixed once the whole
// statement is bound, so every use of a name shares one slot.
struct ParameterSlot {
    std::string name; // "?" for a positional marker
    int marker = -1;  // the "?" number, -1 for names
    std::size_t offset = 0;
    bool declared = false;
    std::size_t position = 0;
};

class ParameterExpr : public BoundExpr {
public:
    explicit ParameterExpr(std::shared_ptr<ParameterSlot> slot) : slot_(std::move(slot)) {}
    core::Value eval(const Runtime& rt, const Frame&) const override {
        return rt.parameters.at(slot_->position);
    }
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int, std::vector<int>&) const override {}

private:
    std::shared_ptr<ParameterSlot> slot_;
};

class UnaryExpr : public BoundExpr {
public:
    UnaryExpr(UnaryOperator op, BoundPtr operand, core::DataType type)
        : BoundExpr(type), op_(op), operand_(std::move(operand)) {}
    core::Value eval(const Runtime& rt, const Frame& frame) const override;
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int depth, std::vector<int>& slots) const override {
        operand_->columnsUsed(depth, slots);
    }
    bool isVolatile() const override { return operand_->isVolatile(); }

private:
    UnaryOperator op_;
    BoundPtr operand_;
};

class BinaryExpr : public BoundExpr {
public:
    BinaryExpr(BinaryOperator op, BoundPtr left, BoundPtr right, core::DataType type)
        : BoundExpr(type), op_(op), left_(std::move(left)), right_(std::move(right)) {}
    core::Value eval(const Runtime& rt, const Frame& frame) const override;
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int depth, std::vector<int>& slots) const override;
    bool isVolatile() const override { return left_->isVolatile() || right_->isVolatile(); }

    BinaryOperator op() const { return op_; }
    const BoundExpr& left() const { return *left_; }
    const BoundExpr& right() const { return *right_; }
    // The planner takes an And apart into its conjuncts.
    BoundPtr releaseLeft() { return std::move(left_); }
    BoundPtr releaseRight() { return std::move(right_); }

private:
    BinaryOperator op_;
    BoundPtr left_, right_;
};

class LikeExpr : public BoundExpr {
public:
    LikeExpr(BoundPtr value, BoundPtr pattern, bool negated, LikeMode mode);
    core::Value eval(const Runtime& rt, const Frame& frame) const override;
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int depth, std::vector<int>& slots) const override;
    bool isVolatile() const override { return value_->isVolatile() || pattern_->isVolatile(); }

private:
    BoundPtr value_, pattern_;
    bool negated_;
    LikeMode mode_;
    std::optional<LikePattern> compiled_; // when the pattern is a constant
};

class BetweenExpr : public BoundExpr {
public:
    BetweenExpr(BoundPtr value, BoundPtr low, BoundPtr high, bool negated)
        : BoundExpr(core::DataType::Boolean), value_(std::move(value)), low_(std::move(low)),
          high_(std::move(high)), negated_(negated) {}
    core::Value eval(const Runtime& rt, const Frame& frame) const override;
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int depth, std::vector<int>& slots) const override;
    bool isVolatile() const override {
        return value_->isVolatile() || low_->isVolatile() || high_->isVolatile();
    }

    bool negated() const { return negated_; }
    const BoundExpr& value() const { return *value_; }
    const BoundExpr& low() const { return *low_; }
    const BoundExpr& high() const { return *high_; }

private:
    BoundPtr value_, low_, high_;
    bool negated_;
};

class InListExpr : public BoundExpr {
public:
    InListExpr(BoundPtr value, BoundList items, bool negated)
        : BoundExpr(core::DataType::Boolean), value_(std::move(value)), items_(std::move(items)),
          negated_(negated) {}
    core::Value eval(const Runtime& rt, const Frame& frame) const override;
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int depth, std::vector<int>& slots) const override;
    bool isVolatile() const override;

private:
    BoundPtr value_;
    BoundList items_;
    bool negated_;
};

class IsNullExpr : public BoundExpr {
public:
    IsNullExpr(BoundPtr value, bool negated)
        : BoundExpr(core::DataType::Boolean), value_(std::move(value)), negated_(negated) {}
    core::Value eval(const Runtime& rt, const Frame& frame) const override {
        return core::Value(value_->eval(rt, frame).isNull() != negated_);
    }
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int depth, std::vector<int>& slots) const override {
        value_->columnsUsed(depth, slots);
    }
    bool isVolatile() const override { return value_->isVolatile(); }

private:
    BoundPtr value_;
    bool negated_;
};

class FunctionExpr : public BoundExpr {
public:
    FunctionExpr(const FunctionInfo& function, BoundList args, core::DataType type)
        : BoundExpr(type), function_(function), args_(std::move(args)) {}
    core::Value eval(const Runtime& rt, const Frame& frame) const override;
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int depth, std::vector<int>& slots) const override;
    bool isVolatile() const override;

private:
    const FunctionInfo& function_;
    BoundList args_;
};

// IIf evaluates only the branch its condition picks, so IIf(x=0, 0, 1/x) never divides by 0.
class IIfExpr : public BoundExpr {
public:
    IIfExpr(BoundPtr condition, BoundPtr whenTrue, BoundPtr whenFalse, core::DataType type)
        : BoundExpr(type), condition_(std::move(condition)), whenTrue_(std::move(whenTrue)),
          whenFalse_(std::move(whenFalse)) {}
    core::Value eval(const Runtime& rt, const Frame& frame) const override;
    std::string fingerprint() const override;
    BoundPtr clone() const override;
    void columnsUsed(int depth, std::vector<int>& slots) const override;
    bool isVolatile() const override {
        return condition_->isVolatile() || whenTrue_->isVolatile() || whenFalse_->isVolatile();
    }

private:
    BoundPtr condition_, whenTrue_, whenFalse_;
};

} // namespace sql
