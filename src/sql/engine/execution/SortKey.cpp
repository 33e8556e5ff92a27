#include "sql/engine/execution/SortKey.h"

#include "jet/keys/TextKey.h"

#include "core/DecimalMath.h"
#include "core/Error.h"
#include "core/TypeConversion.h"
#include "core/WideUnsigned.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace sql {

namespace {

enum Tag : char {
    NullTag = 0x01,
    NumberTag = 0x10,
    DateTag = 0x20,
    TextTag = 0x30,
    BinaryTag = 0x40,
    GuidTag = 0x50
};

// A double as 8 bytes that sort as the numbers do: flip the sign bit of positives, every
// bit of negatives. -0 and +0 are one key.
void appendDouble(std::string& out, double d) {
    if (d == 0) d = 0;
    std::uint64_t bits = std::bit_cast<std::uint64_t>(d);
    bits = (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
    for (int shift = 56; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

// Bytes of unknown content followed by an end mark that sorts below any byte: 00 becomes
// 00 FF, the end is 00 00, so a prefix sorts before what it is a prefix of.
void appendEscaped(std::string& out, std::string_view bytes) {
    for (;;) {
        const std::size_t zero = bytes.find('\0');
        out.append(bytes.substr(0, zero));
        if (zero == std::string_view::npos) break;
        out.append("\0\xFF", 2);
        bytes.remove_prefix(zero + 1);
    }
    out.append(2, '\0');
}

// After a number's double, a tail that tells apart the currency and decimal values sharing
// that double (a double holds about 16 digits; a currency up to 19, a decimal up to 29).
// Every number of a kind a double holds exactly ends in ExactTail, as does a currency or
// decimal equal to the value its double converts back to, so Long 5, Currency 5 and Double
// 0.1 and Currency 0.1 stay equal keys. Any other currency or decimal ends in BelowTail or
// AboveTail (as it lies below or above that value) and its exact value, so the values
// sharing a double sort by their exact value, and keys stay prefix-free.
enum NumberTail : unsigned char { BelowTail = 0x7F, ExactTail = 0x80, AboveTail = 0x81 };

// A decimal's exact value as 25 bytes that sort as the values do: a sign byte, then the
// magnitude scaled to 28 places as 192 bits, every bit flipped for negatives.
void appendExactDecimal(std::string& out, const core::Decimal& d) {
    core::WideUnsigned magnitude =
        core::WideUnsigned::multiply(core::WideUnsigned::fromWords(d.lo, d.mid, d.hi),
                                     core::WideUnsigned::powerOfTen(28u - d.scale));
    const bool negative = d.negative && !magnitude.isZero();
    out.push_back(negative ? 0 : 1);
    for (int word = 5; word >= 0; --word) {
        const std::uint32_t w = negative ? ~magnitude.word(word) : magnitude.word(word);
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<char>((w >> shift) & 0xFF));
    }
}

// A value of at most 15 digits is the one its double converts back to: its tail is exact.
constexpr std::uint64_t kFifteenDigits = 1'000'000'000'000'000;

// The tail of a currency or decimal value `exact`, whose double is `asDouble`.
void appendNumberTail(std::string& out, const core::Decimal& exact, double asDouble) {
    int side = 0;
    try {
        side = core::decimalCompare(exact, core::toDecimal(core::Value(asDouble)));
    } catch (const core::Error&) {
        // The double lies past the decimals' range: the value is nearer zero than it.
        side = asDouble > 0 ? -1 : 1;
    }
    if (side == 0) {
        out.push_back(static_cast<char>(ExactTail));
        return;
    }
    out.push_back(static_cast<char>(side < 0 ? BelowTail : AboveTail));
    appendExactDecimal(out, exact);
}

} // namespace

KeyClass keyClass(core::DataType type) {
    switch (type) {
    case core::DataType::Null:
        return KeyClass::Null;
    case core::DataType::DateTime:
        return KeyClass::Date;
    case core::DataType::Text:
        return KeyClass::Text;
    case core::DataType::Binary:
        return KeyClass::Binary;
    case core::DataType::Guid:
        return KeyClass::Guid;
    default:
        return KeyClass::Number;
    }
}

void appendSortKey(std::string& out, const core::Value& v) {
    switch (v.type()) {
    case core::DataType::Null:
        out.push_back(NullTag);
        return;
    case core::DataType::Boolean:
        out.push_back(NumberTag);
        appendDouble(out, v.get<bool>() ? -1.0 : 0.0);
        out.push_back(static_cast<char>(ExactTail));
        return;
    case core::DataType::Decimal: {
        const core::Decimal& d = v.get<core::Decimal>();
        const double asDouble = core::decimalToDouble(d);
        out.push_back(NumberTag);
        appendDouble(out, asDouble);
        if (d.hi == 0 && ((std::uint64_t{d.mid} << 32) | d.lo) < kFifteenDigits)
            out.push_back(static_cast<char>(ExactTail));
        else
            appendNumberTail(out, d, asDouble);
        return;
    }
    case core::DataType::Currency: {
        const core::Currency c = v.get<core::Currency>();
        const double asDouble = core::currencyToDouble(c);
        out.push_back(NumberTag);
        appendDouble(out, asDouble);
        // Below 10^11 an amount has at most 15 digits, which its double gives back.
        if (c.units > -std::int64_t{kFifteenDigits} && c.units < std::int64_t{kFifteenDigits})
            out.push_back(static_cast<char>(ExactTail));
        else
            appendNumberTail(out, core::toDecimal(v), asDouble);
        return;
    }
    case core::DataType::DateTime:
        out.push_back(DateTag);
        appendDouble(out, v.get<core::DateTime>().days);
        return;
    case core::DataType::Text: {
        // One buffer per key (a thread_local one would not link into the ODBC driver, whose
        // static libraries are not position-independent).
        core::Bytes text;
        jet::appendTextKey(text, v.get<std::string>(), true);
        out.push_back(TextTag);
        appendEscaped(out,
                      std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
        return;
    }
    case core::DataType::Binary: {
        const auto& b = v.get<core::Bytes>();
        out.push_back(BinaryTag);
        appendEscaped(out, std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
        return;
    }
    case core::DataType::Guid: {
        const auto& g = v.get<core::Guid>().bytes;
        out.push_back(GuidTag);
        out.append(reinterpret_cast<const char*>(g.data()), g.size());
        return;
    }
    default:
        out.push_back(NumberTag);
        appendDouble(out, core::toDouble(v));
        out.push_back(static_cast<char>(ExactTail));
        return;
    }
}

std::string sortKey(const core::Value& value) {
    std::string out;
    appendSortKey(out, value);
    return out;
}

std::string sortKey(std::span<const core::Value> values) {
    std::string out;
    for (const auto& v : values) appendSortKey(out, v);
    return out;
}

std::uint64_t sortKeyPrefix(std::string_view key) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i)
        prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return prefix;
}

bool indexOrdersLikeSort(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long:
    case jet::ColumnType::Currency:
    case jet::ColumnType::Single:
    case jet::ColumnType::Double:
    case jet::ColumnType::DateTime:
        return true;
    default:
        return false;
    }
}

} // namespace sql
