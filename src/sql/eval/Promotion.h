#pragma once
// Which numeric type an arithmetic result takes, after VBA's variant rules that Jet's
// expression service follows: the more precise operand wins, integer results that overflow
// widen (Byte -> Integer -> Long -> Double) instead of failing.
#include "core/Value.h"

#include <cstdint>
#include <optional>

namespace sql {

enum class NumericRank { Byte, Integer, Long, Single, Double, Currency, Decimal };

// Addition and subtraction rank Currency above Double; multiplication ranks it below.
enum class PrecisionOrder { Addition, Multiplication };

// The rank of a numeric type, Boolean counting as Integer; nullopt for anything else.
std::optional<NumericRank> numericRank(core::DataType type);

// The rank of the result of two operands, including the rule that Single with Long gives
// Double.
NumericRank resultRank(NumericRank a, NumericRank b, PrecisionOrder order);

// An integer result in the narrowest of Byte, Integer, Long that both fits it and is at
// least `atLeast`; a Double when not even Long holds it.
core::Value integerResult(std::int64_t value, NumericRank atLeast);

// An operand of arithmetic as a number: text that reads as a number becomes Double, a
// date its day count as Double, anything else not numeric is a type mismatch.
core::Value numericOperand(const core::Value& v);

} // namespace sql
