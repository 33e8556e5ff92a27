#pragma once
// The shape of an INSERT ... VALUES statement: its text with each value that is a lone
// literal (a number, maybe signed, a string or a #date#) cut out, so that statements that
// differ only in those values share one shape and one plan.
#include "core/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sql {

enum class LiteralKind : std::uint8_t { Integer, Real, String, Date };

// One literal cut out of the text: [start, end) is what was cut (sign included), the body
// is the literal without sign, quotes or # signs.
struct LiteralSlot {
    LiteralKind kind = LiteralKind::Integer;
    std::size_t start = 0, end = 0;
    std::size_t bodyStart = 0, bodyEnd = 0;
    bool negate = false;
};

struct InsertShape {
    std::string key; // the text with each literal replaced by a mark of its kind
    std::vector<LiteralSlot> literals;
};

// Fills `shape` for a text that starts with INSERT and whose literals all stand alone in a
// list (after "(" or "," and before "," or ")"); false for any other text, which then goes
// the ordinary way.
bool readInsertShape(std::string_view text, InsertShape& shape);

// The value the parser gives the literal; nothing when it would refuse it (an overflow, a
// date that is no date), so the statement goes the ordinary way and reports that.
std::optional<core::Value> literalValue(std::string_view text, const LiteralSlot& slot);

// A number literal written with at most 4 decimals and 15 significant digits, read straight
// into a currency amount: what converting its double gives, without the conversion. Nothing
// for any other literal, which then takes the ordinary conversion.
std::optional<core::Currency> currencyLiteral(std::string_view text, const LiteralSlot& slot);

} // namespace sql
