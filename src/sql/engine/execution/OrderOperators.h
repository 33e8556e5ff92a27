#pragma once
// Operators that need the whole input: ORDER BY, TOP, DISTINCT and UNION.
#include "sql/engine/execution/Operator.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sql {

struct SortColumn {
    std::size_t index = 0; // position in the row
    bool descending = false;
};

// A stable sort: rows equal in every sort value keep their input order. Null sorts first
// ascending, last descending; text without regard to case in the General sort order.
class Sort : public Operator {
public:
    Sort(OperatorPtr input, std::vector<SortColumn> columns)
        : input_(std::move(input)), columns_(std::move(columns)) {}
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    OperatorPtr input_;
    std::vector<SortColumn> columns_;
    std::vector<ResultRow> rows_;    // in input order
    std::vector<std::size_t> order_; // rows_ positions in sorted order
    std::size_t position_ = 0;
};

// TOP n or TOP n PERCENT. Like Jet, rows tied with the last one on the `ties` values (the
// ORDER BY values) come too, so TOP 2 may give more than two rows.
class TopRows : public Operator {
public:
    TopRows(OperatorPtr input, std::uint32_t count, bool percent, std::vector<std::size_t> ties)
        : input_(std::move(input)), count_(count), percent_(percent), ties_(std::move(ties)) {}
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    std::string tieKey(const ResultRow& row) const;

    OperatorPtr input_;
    std::uint32_t count_;
    bool percent_;
    std::vector<std::size_t> ties_;
    std::vector<ResultRow> buffered_; // PERCENT must count the rows first
    std::size_t position_ = 0, limit_ = 0, emitted_ = 0;
    std::string lastKey_;
    bool done_ = false;
};

// Keeps one row of each set of rows equal in their first `width` values (Null equal to
// Null, text without regard to case), in ascending order of those values.
class Distinct : public Operator {
public:
    Distinct(OperatorPtr input, std::size_t width) : input_(std::move(input)), width_(width) {}
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    OperatorPtr input_;
    std::size_t width_;
    std::vector<ResultRow> rows_;
    std::size_t position_ = 0;
};

// The rows of each input in turn (UNION ALL; UNION puts a Distinct above it).
class Concatenate : public Operator {
public:
    explicit Concatenate(std::vector<OperatorPtr> inputs) : inputs_(std::move(inputs)) {}
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    std::vector<OperatorPtr> inputs_;
    std::size_t current_ = 0;
    const Runtime* rt_ = nullptr;
    const Frame* outer_ = nullptr;
};

} // namespace sql
