#pragma once
// Chooses a column type for `import --create` from every value of the column, not from a
// sample: the narrowest of long, currency (only when asked), double, datetime and yes/no that
// reads them all, else text sized to the longest value (memo past 255 characters).
#include "cli/CsvReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace cli {

class ColumnInference {
public:
    // With `currency`, numbers with at most four decimals make a currency column rather than
    // a double one.
    explicit ColumnInference(bool currency) : currency_(currency) {}

    void add(const CsvField& field);

    // The type as CREATE TABLE writes it: "long", "double", "currency", "datetime", "yesno",
    // "text(12)", "memo".
    std::string typeText() const;

private:
    enum Shape : std::uint8_t {
        Long = 1,
        Currency = 2,
        Double = 4,
        DateTime = 8,
        YesNo = 16,
    };
    bool currency_;
    std::uint8_t shapes_ = Long | Currency | Double | DateTime | YesNo;
    std::size_t longest_ = 0; // in UTF-16 code units, as Jet counts text
    bool anyValue_ = false;
};

} // namespace cli
