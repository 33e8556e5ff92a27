#pragma once
// Jet's variant value: the one representation of a field's content shared by every layer.
#include "core/DataType.h"

#include <array>
#include <compare>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace core {

// Money: a signed count of ten-thousandths, exact.
struct Currency {
    std::int64_t units = 0; // value * 10000
    auto operator<=>(const Currency&) const = default;
};

// A point in time as Jet stores it: days from 1899-12-30, fraction = time of day.
// Negative values count days back with a positive time fraction (-1.25 = 1899-12-29 06:00).
struct DateTime {
    double days = 0;
    auto operator<=>(const DateTime&) const = default;
};

struct Guid {
    std::array<std::uint8_t, 16> bytes{}; // in Jet's stored (little-endian fields) order
    auto operator<=>(const Guid&) const = default;
};

// Jet's numeric: sign, a 96-bit magnitude and a scale (digits after the point).
struct Decimal {
    bool negative = false;
    std::uint32_t lo = 0, mid = 0, hi = 0; // magnitude, least significant word first
    std::uint8_t scale = 0;
    bool operator==(const Decimal&) const = default;
};

using Bytes = std::vector<std::uint8_t>;

class Value {
public:
    using Storage = std::variant<std::monostate, bool, std::uint8_t, std::int16_t, std::int32_t,
                                 Currency, float, double, DateTime, std::string, Bytes, Guid,
                                 Decimal>;

    Value() = default;
    Value(bool v) : v_(v) {}
    Value(std::uint8_t v) : v_(v) {}
    Value(std::int16_t v) : v_(v) {}
    Value(std::int32_t v) : v_(v) {}
    Value(Currency v) : v_(v) {}
    Value(float v) : v_(v) {}
    Value(double v) : v_(v) {}
    Value(DateTime v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(const char* v) : v_(std::string(v)) {}
    Value(Bytes v) : v_(std::move(v)) {}
    Value(Guid v) : v_(v) {}
    Value(Decimal v) : v_(v) {}

    static Value null() { return {}; }

    DataType type() const { return static_cast<DataType>(v_.index()); }
    bool isNull() const { return v_.index() == 0; }

    template <class T> const T& get() const { return std::get<T>(v_); }
    template <class T> const T* getIf() const { return std::get_if<T>(&v_); }
    const Storage& storage() const { return v_; }

    bool operator==(const Value& other) const = default;

private:
    Storage v_;
};

} // namespace core
