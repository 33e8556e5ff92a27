// The driver's own conversions between engine values and the application's C types.
#include "odbc/CData.h"
#include "core/Conversions.h"
#include "odbc/Diagnostics.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using core::Value;

core::Decimal decimal(const char* text, std::uint8_t scale) {
    return core::parseDecimal(text, scale);
}

std::string readAsChar(const Value& v) {
    char buffer[64] = {};
    SQLLEN indicator = 0;
    odbc::CBuffer b{SQL_C_CHAR, buffer, sizeof buffer, &indicator};
    odbc::writePiece(odbc::piecewiseForm(v, SQL_C_CHAR), 0, b);
    EXPECT_EQ(indicator, static_cast<SQLLEN>(std::strlen(buffer)));
    return buffer;
}

TEST(CDataTest, ValuesReadAsTextInOdbcForm) {
    core::Guid g = core::parseGuid("6f9619ff-8b86-d011-b42d-00c04fc964ff");
    const struct {
        Value value;
        const char* text;
    } cases[] = {
        {Value(true), "1"},
        {Value(false), "0"},
        {Value(core::Currency{123400}), "12.3400"},
        {Value(core::Currency{-1}), "-0.0001"},
        {Value(decimal("-12345678901234567890.12", 2)), "-12345678901234567890.12"},
        {Value(core::fromCivil({2024, 2, 29, 13, 45, 10, 0})), "2024-02-29 13:45:10"},
        {Value(core::fromCivil({1899, 12, 30, 0, 0, 0, 250})), "1899-12-30 00:00:00.250"},
        {Value(g), "{6F9619FF-8B86-D011-B42D-00C04FC964FF}"},
        {Value(core::Bytes{0x00, 0xAB}), "00AB"},
        {Value(2.5), "2.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(readAsChar(c.value), c.text) << c.text;
}

TEST(CDataTest, ExactValuesReachNumericStructExactly) {
    SQL_NUMERIC_STRUCT n{};
    SQLLEN indicator = 0;
    odbc::writeFixed(Value(core::Currency{-9223372036854775807LL}),
                     {SQL_C_NUMERIC, &n, sizeof n, &indicator});
    EXPECT_EQ(n.sign, 0);
    EXPECT_EQ(n.scale, 4);
    std::uint64_t magnitude = 0;
    for (int i = 7; i >= 0; --i) magnitude = (magnitude << 8) | n.val[i];
    EXPECT_EQ(magnitude, 9223372036854775807ULL);

    // And back: a NUMERIC parameter becomes a Decimal with the same digits.
    const Value back = odbc::readParameter(SQL_C_NUMERIC, SQL_NUMERIC, &n, sizeof n);
    EXPECT_EQ(core::formatDecimal(back.get<core::Decimal>()), "-922337203685477.5807");
}

TEST(CDataTest, FixedTypesConvertOrRefuse) {
    const struct {
        Value value;
        SQLSMALLINT cType;
        const char* state; // nullptr: converts
        std::int64_t expected;
    } cases[] = {
        {Value(std::int32_t(300)), SQL_C_UTINYINT, "22003", 0},
        {Value(std::int32_t(255)), SQL_C_UTINYINT, nullptr, 255},
        {Value(std::int16_t(-5)), SQL_C_SLONG, nullptr, -5},
        {Value(core::Currency{-19999}), SQL_C_SLONG, nullptr, -1}, // truncated toward zero
        {Value(decimal("123456789012.9", 1)), SQL_C_SBIGINT, nullptr, 123456789012},
        {Value(1e10), SQL_C_SLONG, "22003", 0},
        {Value("42"), SQL_C_SLONG, nullptr, 42},
        {Value("forty-two"), SQL_C_SLONG, "22018", 0},
        {Value(core::Bytes{1}), SQL_C_SLONG, "07006", 0},
        {Value(true), SQL_C_SLONG, nullptr, 1},
    };
    for (const auto& c : cases) {
        // The driver writes the C type's own width; read it back as that type.
        alignas(std::int64_t) unsigned char out[sizeof(std::int64_t)] = {};
        SQLLEN indicator = 0;
        try {
            odbc::writeFixed(c.value, {c.cType, out, sizeof out, &indicator});
            const auto read = [&out]<typename T>(T) {
                T v;
                std::memcpy(&v, out, sizeof v);
                return std::int64_t(v);
            };
            const std::int64_t value = c.cType == SQL_C_UTINYINT ? read(std::uint8_t{})
                                       : c.cType == SQL_C_SLONG  ? read(std::int32_t{})
                                                                 : read(std::int64_t{});
            ASSERT_EQ(c.state, nullptr) << "converted to " << value;
            EXPECT_EQ(value, c.expected);
        } catch (const odbc::OdbcError& e) {
            ASSERT_NE(c.state, nullptr) << e.what();
            EXPECT_EQ(e.state(), c.state);
        }
    }
}

TEST(CDataTest, DatesAndGuidsUseTheirStructs) {
    SQL_TIMESTAMP_STRUCT t{};
    SQLLEN indicator = 0;
    odbc::writeFixed(Value(core::fromCivil({1999, 12, 31, 23, 59, 58, 500})),
                     {SQL_C_TYPE_TIMESTAMP, &t, sizeof t, &indicator});
    EXPECT_EQ(t.year, 1999);
    EXPECT_EQ(t.month, 12);
    EXPECT_EQ(t.day, 31);
    EXPECT_EQ(t.second, 58);
    EXPECT_EQ(t.fraction, 500000000u);
    EXPECT_EQ(indicator, static_cast<SQLLEN>(sizeof t));
    const Value back = odbc::readParameter(SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, &t, sizeof t);
    EXPECT_EQ(core::formatIsoDateTime(back.get<core::DateTime>()), "1999-12-31T23:59:58.500");

    t.month = 13;
    try {
        odbc::readParameter(SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, &t, sizeof t);
        ADD_FAILURE() << "month 13 accepted";
    } catch (const odbc::OdbcError& e) {
        EXPECT_EQ(e.state(), "22007");
    }

    const core::Guid g = core::parseGuid("{6f9619ff-8b86-d011-b42d-00c04fc964ff}");
    SQLGUID out{};
    odbc::writeFixed(Value(g), {SQL_C_GUID, &out, sizeof out, &indicator});
    EXPECT_EQ(out.Data1, 0x6f9619ffu);
    EXPECT_EQ(out.Data2, 0x8b86);
    EXPECT_EQ(out.Data4[7], 0xff);
    EXPECT_EQ(odbc::readParameter(SQL_C_GUID, SQL_GUID, &out, sizeof out), Value(g));
}

TEST(CDataTest, LongTextComesInPiecesThatJoinUp) {
    const std::string text = "D\xC3\xA9j\xC3\xA0 vu \xE2\x82\xAC" + std::string(100, 'x');
    for (SQLSMALLINT cType : {SQL_C_CHAR, SQL_C_WCHAR, SQL_C_BINARY}) {
        const std::string form = odbc::piecewiseForm(Value(text), cType);
        std::string joined;
        std::size_t offset = 0;
        char buffer[8];
        SQLLEN indicator = 0;
        const odbc::CBuffer b{cType, buffer, sizeof buffer, &indicator};
        while (offset < form.size()) {
            const std::size_t copied = odbc::writePiece(form, offset, b);
            ASSERT_GT(copied, 0u);
            EXPECT_EQ(indicator, static_cast<SQLLEN>(form.size() - offset));
            joined.append(buffer, copied);
            offset += copied;
        }
        EXPECT_EQ(joined, form) << cType;
    }
    EXPECT_EQ(odbc::piecewiseForm(Value("\xE2\x82\xAC"), SQL_C_WCHAR), std::string("\xAC\x20", 2));
}

TEST(CDataTest, ParametersBecomeExactEngineValues) {
    const char* money = "12345678901234.5678";
    const Value fromText = odbc::readParameter(SQL_C_CHAR, SQL_DECIMAL, money, SQL_NTS);
    EXPECT_EQ(core::formatDecimal(fromText.get<core::Decimal>()), money);
    // Text meant as text stays text, whatever it looks like.
    EXPECT_EQ(odbc::readParameter(SQL_C_CHAR, SQL_VARCHAR, "0012", SQL_NTS), Value("0012"));

    const SQLBIGINT big = 5000000000LL;
    const Value fromBig = odbc::readParameter(SQL_C_SBIGINT, SQL_BIGINT, &big, 8);
    EXPECT_EQ(core::formatDecimal(fromBig.get<core::Decimal>()), "5000000000");
    const SQLBIGINT small = -7;
    EXPECT_EQ(odbc::readParameter(SQL_C_SBIGINT, SQL_BIGINT, &small, 8), Value(std::int32_t(-7)));

    const SQLWCHAR wide[] = {0x5A, 0x6F, 0xEB, 0};
    EXPECT_EQ(odbc::readParameter(SQL_C_WCHAR, SQL_WVARCHAR, wide, SQL_NTS), Value("Zo\xC3\xAB"));
    // A length that counts the terminator, as Qt's ODBC plugin gives it, leaves it out.
    EXPECT_EQ(odbc::readParameter(SQL_C_WCHAR, SQL_WVARCHAR, wide, sizeof wide),
              Value("Zo\xC3\xAB"));
    EXPECT_EQ(odbc::readParameter(SQL_C_CHAR, SQL_VARCHAR, "ab", 3), Value("ab"));
    EXPECT_EQ(odbc::readParameter(SQL_C_CHAR, SQL_VARCHAR, "ab", 2), Value("ab"));
    const SQLCHAR yes = 1;
    EXPECT_EQ(odbc::readParameter(SQL_C_BIT, SQL_BIT, &yes, 1), Value(true));
    const SQLINTEGER n = 7;
    EXPECT_EQ(odbc::readParameter(SQL_C_DEFAULT, SQL_INTEGER, &n, 4), Value(std::int32_t(7)));
}

} // namespace
