#include "cli/CsvInference.h"

#include "cli/CsvValues.h"
#include "core/Conversions.h"
#include "core/Error.h"
#include "core/TextEncoding.h"

#include <algorithm>
#include <charconv>

namespace cli {

namespace {

// Whole numbers past what a Double holds exactly are identifiers (card or account numbers),
// not quantities: they stay text.
constexpr std::size_t kExactDigits = 15;

bool isIsoDate(const std::string& text) {
    try {
        core::parseIsoDateTime(text);
        return true;
    } catch (const core::TypeMismatch&) {
        return false;
    }
}

} // namespace

void ColumnInference::add(const CsvField& field) {
    longest_ = std::max(longest_, core::utf16Length(field.text));
    if (field.text.empty()) {
        // Null says nothing about the type; an empty text makes the column text.
        if (field.quoted) shapes_ = 0;
        return;
    }
    anyValue_ = true;
    const std::string& text = field.text;
    std::uint8_t fits = 0;
    if (shapes_ & (Long | Currency | Double)) {
        if (isCsvInteger(text)) {
            const std::size_t digits = text.size() - (text[0] == '-');
            std::int64_t value = 0;
            const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
            if (read.ec == std::errc() && value >= INT32_MIN && value <= INT32_MAX) fits |= Long;
            if (digits <= kExactDigits) fits |= Currency | Double;
        } else if (isCsvNumber(text)) {
            fits |= Double;
            if (isCsvCurrency(text)) fits |= Currency;
        }
    }
    if ((shapes_ & DateTime) && isIsoDate(text)) fits |= DateTime;
    if ((shapes_ & YesNo) && csvYesNo(text)) fits |= YesNo;
    shapes_ &= fits;
}

std::string ColumnInference::typeText() const {
    if (anyValue_) {
        if (shapes_ & Long) return "long";
        if (currency_ && (shapes_ & Currency)) return "currency";
        if (shapes_ & Double) return "double";
        if (shapes_ & DateTime) return "datetime";
        if (shapes_ & YesNo) return "yesno";
    }
    if (longest_ > 255) return "memo";
    // A column of nothing but Nulls and empty texts gets the widest text, so that any value
    // added later fits.
    const std::size_t size = anyValue_ ? longest_ : 255;
    return "text(" + std::to_string(size) + ")";
}

} // namespace cli
