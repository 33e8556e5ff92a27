#include "sql/engine/ResultText.h"

#include "core/Conversions.h"

namespace sql {

std::string valueText(const core::Value& value) {
    return std::visit(
        [](const auto& x) -> std::string {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return "NULL";
            } else if constexpr (std::is_same_v<T, bool>) {
                return x ? "True" : "False";
            } else if constexpr (std::is_same_v<T, std::uint8_t> ||
                                 std::is_same_v<T, std::int16_t> ||
                                 std::is_same_v<T, std::int32_t>) {
                return std::to_string(x);
            } else if constexpr (std::is_same_v<T, core::Currency>) {
                return core::formatCurrency(x);
            } else if constexpr (std::is_same_v<T, float>) {
                return core::formatSingle(x);
            } else if constexpr (std::is_same_v<T, double>) {
                return core::formatDouble(x);
            } else if constexpr (std::is_same_v<T, core::DateTime>) {
                return core::formatIsoDateTime(x);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return x;
            } else if constexpr (std::is_same_v<T, core::Bytes>) {
                return core::formatHex(x);
            } else if constexpr (std::is_same_v<T, core::Guid>) {
                return core::formatGuid(x);
            } else {
                return core::formatDecimal(x);
            }
        },
        value.storage());
}

std::vector<std::vector<std::string>> resultRows(ResultSet& result) {
    std::vector<std::vector<std::string>> rows;
    while (result.next()) {
        std::vector<std::string> row;
        for (const auto& v : result.values()) row.push_back(valueText(v));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string resultText(ResultSet& result) {
    std::string out;
    for (const auto& row : resultRows(result)) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) out += "|";
            out += row[i];
        }
        out += "\n";
    }
    return out;
}

} // namespace sql
