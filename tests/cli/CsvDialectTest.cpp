// The CSV dialect both ways: records and fields as the reader splits them, values as the
// writer prints them and as a column reads them back.
#include "cli/CsvReader.h"
#include "cli/CsvValues.h"
#include "cli/CsvWriter.h"
#include "core/Conversions.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Records = std::vector<std::vector<std::string>>;

// Each field as its text, with quoted fields in angle brackets so that "" and Null differ.
Records readAll(const std::string& input, char delimiter = ',',
                cli::CsvEncoding encoding = cli::CsvEncoding::Utf8,
                std::vector<std::size_t>* lines = nullptr) {
    std::istringstream in(input);
    cli::CsvReader reader(in, delimiter, encoding);
    std::vector<cli::CsvField> fields;
    Records records;
    while (std::size_t count = reader.next(fields)) {
        if (lines) lines->push_back(reader.recordLine());
        records.emplace_back();
        for (std::size_t i = 0; i < count; ++i)
            records.back().push_back(fields[i].quoted ? "<" + fields[i].text + ">"
                                                      : fields[i].text);
    }
    return records;
}

struct ReadCase {
    const char* name;
    std::string input;
    Records expected;
    char delimiter = ',';
    cli::CsvEncoding encoding = cli::CsvEncoding::Utf8;
};

TEST(CsvReader, SplitsRecordsAndFieldsAsRfc4180Says) {
    const std::vector<ReadCase> cases = {
        {"CR LF records", "a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}},
        {"LF records, no final break", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}},
        {"lone CR ends a record", "a\r1\r", {{"a"}, {"1"}}},
        {"delimiter in quotes", "\"x,y\",z\n", {{"<x,y>", "z"}}},
        {"doubled quotes", "\"say \"\"hi\"\"\"\n", {{"<say \"hi\">"}}},
        {"CR LF kept inside quotes", "\"one\r\ntwo\",3\r\n", {{"<one\r\ntwo>", "3"}}},
        {"LF kept inside quotes", "\"one\ntwo\"\n", {{"<one\ntwo>"}}},
        {"unquoted empty is not quoted empty", ",\"\",\n", {{"", "<>", ""}}},
        {"blanks are part of the field", " a , b \n", {{" a ", " b "}}},
        {"an empty line is one empty field", "a\n\nb\n", {{"a"}, {""}, {"b"}}},
        {"byte-order mark skipped", "\xEF\xBB\xBFid\n1\n", {{"id"}, {"1"}}},
        {"UTF-8 text", "K\xC3\xB6ln,\xE2\x82\xAC\n", {{"K\xC3\xB6ln", "\xE2\x82\xAC"}}},
        {"semicolon delimiter", "a;\"b;c\";d,e\n", {{"a", "<b;c>", "d,e"}}, ';'},
        {"tab delimiter", "a\tb,c\n", {{"a", "b,c"}}, '\t'},
        {"windows-1252",
         "caf\xE9,\x80\n",
         {{"caf\xC3\xA9", "\xE2\x82\xAC"}},
         ',',
         cli::CsvEncoding::Windows1252},
        {"no input at all", "", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readAll(c.input, c.delimiter, c.encoding), c.expected) << c.name;
}

TEST(CsvReader, CountsLinesAcrossLineBreaksInsideQuotes) {
    std::vector<std::size_t> lines;
    readAll("h\n\"a\nb\nc\"\r\nd\n", ',', cli::CsvEncoding::Utf8, &lines);
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 5}));
}

TEST(CsvReader, RefusesBrokenQuotingAndBadTextNamingLineAndColumn) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a,b\n1,\"open\n", "Line 2, column 2: the quoted field is not closed"},
        {"a,b\n1,\"x\"y\n", "Line 2, column 2: text follows the closing quote"},
        {"a\nab\"c\n", "Line 2, column 1: a quote in a field"},
        {"a,b\n1,caf\xE9\n", "Line 2, column 2: the text is not valid UTF-8"},
    };
    for (const auto& [input, message] : cases) {
        try {
            readAll(input);
            ADD_FAILURE() << "read without error: " << input;
        } catch (const core::Error& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(cli::csvEncodingNamed("ebcdic"), core::Error);
    EXPECT_EQ(cli::csvEncodingNamed("Windows-1252"), cli::CsvEncoding::Windows1252);
    EXPECT_EQ(cli::csvEncodingNamed("UTF8"), cli::CsvEncoding::Utf8);
}

std::string fieldText(const core::Value& value) {
    std::string out;
    const auto text = cli::csvText(value);
    cli::appendCsvField(out, text.text, ',', text.quote);
    return out;
}

TEST(CsvWriter, WritesEachKindOfValueInTheDialect) {
    const std::vector<std::pair<core::Value, std::string>> cases = {
        {core::Value::null(), ""},
        {core::Value(std::string()), "\"\""},
        {core::Value("plain"), "plain"},
        {core::Value("a,b"), "\"a,b\""},
        {core::Value("say \"hi\""), "\"say \"\"hi\"\"\""},
        {core::Value("two\r\nlines"), "\"two\r\nlines\""},
        {core::Value("007"), "007"},
        {core::Value(true), "true"},
        {core::Value(false), "false"},
        {core::Value(std::uint8_t(255)), "255"},
        {core::Value(std::int16_t(-32768)), "-32768"},
        {core::Value(std::int32_t(2147483647)), "2147483647"},
        {core::Value(core::Currency{-922337203685477580}), "-92233720368547.7580"},
        {core::Value(core::Currency{35000}), "3.5000"},
        {core::Value(0.1), "0.1"},
        {core::Value(1e-7), "1e-07"},
        {core::Value(1.5f), "1.5"},
        {core::Value(core::parseIsoDateTime("2024-02-29")), "2024-02-29"},
        {core::Value(core::parseIsoDateTime("2024-02-29T13:45:00")), "2024-02-29 13:45:00"},
        {core::Value(core::parseIsoDateTime("1850-07-04 06:30:15.250")), "1850-07-04 06:30:15.250"},
        {core::Value(core::Bytes{0x00, 0xAB, 0x10}), "00ab10"},
        {core::Value(core::Bytes{}), "\"\""},
        {core::Value(core::parseGuid("{6F9619FF-8B86-D011-B42D-00C04FC964FF}")),
         "6f9619ff-8b86-d011-b42d-00c04fc964ff"},
        {core::Value(core::parseDecimal("-12.50", 2)), "-12.50"},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(fieldText(value), expected) << expected;
    std::string record;
    cli::appendCsvField(record, "a;b", ';');
    record += ';';
    cli::appendCsvField(record, "a,b", ';');
    cli::endCsvRecord(record);
    EXPECT_EQ(record, "\"a;b\";a,b\r\n");
}

sql::ColumnInfo column(jet::ColumnType type, std::uint32_t size = 0) {
    sql::ColumnInfo c;
    c.name = "C";
    c.type = type;
    c.size = size;
    c.precision = 6;
    c.scale = 2;
    return c;
}

struct FieldCase {
    jet::ColumnType type;
    std::string text;
    bool quoted;
    core::Value expected;
};

TEST(CsvValues, ReadsEachTypeFromItsFieldText) {
    using T = jet::ColumnType;
    const std::vector<FieldCase> cases = {
        {T::Long, "", false, core::Value::null()},
        {T::Long, "", true, core::Value::null()},
        {T::Text, "", false, core::Value::null()},
        {T::Text, "", true, core::Value(std::string())},
        {T::Memo, "", true, core::Value(std::string())},
        {T::Binary, "", true, core::Value(core::Bytes{})},
        {T::Text, "007", false, core::Value("007")},
        {T::Long, "007", false, core::Value(std::int32_t(7))},
        {T::Long, "-2147483648", true, core::Value(std::int32_t(-2147483648))},
        {T::Integer, "-32768", false, core::Value(std::int16_t(-32768))},
        {T::Byte, "255", false, core::Value(std::uint8_t(255))},
        {T::Double, "1e-07", false, core::Value(1e-7)},
        {T::Double, "-0.5", false, core::Value(-0.5)},
        {T::Single, "1.5", false, core::Value(1.5f)},
        {T::Currency, "922337203685477.5807", false, core::Value(core::Currency{INT64_MAX})},
        {T::Currency, "3.5", false, core::Value(core::Currency{35000})},
        {T::Numeric, "1234.5", false, core::Value(core::parseDecimal("1234.50", 2))},
        {T::Boolean, "TRUE", false, core::Value(true)},
        {T::Boolean, "-1", false, core::Value(true)},
        {T::Boolean, "yes", false, core::Value(true)},
        {T::Boolean, "0", false, core::Value(false)},
        {T::Boolean, "No", false, core::Value(false)},
        {T::DateTime, "2024-02-29", false, core::Value(core::parseIsoDateTime("2024-02-29"))},
        {T::DateTime, "1753-01-01T23:59:59", false,
         core::Value(core::fromCivil({1753, 1, 1, 23, 59, 59, 0}))},
        {T::DateTime, "0100-03-01 12:00:00.5", false,
         core::Value(core::fromCivil({100, 3, 1, 12, 0, 0, 500}))},
        {T::Binary, "00FFab", false, core::Value(core::Bytes{0x00, 0xFF, 0xAB})},
        {T::Guid, "6f9619ff-8b86-d011-b42d-00c04fc964ff", false,
         core::Value(core::parseGuid("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"))},
    };
    for (const auto& c : cases) {
        const auto value = cli::csvFieldValue(column(c.type, 10), cli::CsvField{c.text, c.quoted});
        EXPECT_EQ(value, c.expected) << jet::columnTypeName(c.type) << " '" << c.text << "'";
    }
}

TEST(CsvValues, RefusesTextThatDoesNotFitItsColumn) {
    using T = jet::ColumnType;
    const std::vector<std::tuple<T, std::string, std::string>> cases = {
        {T::Long, "1.5", "not a whole number"},
        {T::Long, "2147483648", "outside the column's range"},
        {T::Byte, "256", "outside the column's range"},
        {T::Integer, "+1", "not a whole number"},
        {T::Double, "1,5", "'.' as the decimal point"},
        {T::Double, "abc", "not a number"},
        {T::Currency, "1,000", "not a number"},
        {T::Numeric, "12345.1", "outside the column's range"},
        {T::Boolean, "maybe", "not yes/no"},
        {T::DateTime, "2023-02-29", "not a real date"},
        {T::DateTime, "29/02/2024", "not a date"},
        {T::DateTime, "2024-02-29 25:00", "not a real date"},
        {T::Binary, "abc", "odd number"},
        {T::Guid, "nope", "not a GUID"},
        {T::Text, "elevenchars", "11 characters long; the column holds 10"},
    };
    for (const auto& [type, text, message] : cases) {
        try {
            cli::csvFieldValue(column(type, 10), cli::CsvField{text, false});
            ADD_FAILURE() << jet::columnTypeName(type) << " took '" << text << "'";
        } catch (const core::TypeMismatch& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos)
                << jet::columnTypeName(type) << " '" << text << "': " << e.what();
        }
    }
}

TEST(CsvValues, WhatTheWriterPrintsReadsBackAsTheSameValue) {
    using T = jet::ColumnType;
    const std::vector<std::pair<T, core::Value>> cases = {
        {T::Text, core::Value(std::string())},
        {T::Text, core::Value("a \"b\", c\r\n")},
        {T::Double, core::Value(0.30000000000000004)},
        {T::Double, core::Value(-1.7976931348623157e308)},
        {T::Single, core::Value(3.4028235e38f)},
        {T::Currency, core::Value(core::Currency{-12345})},
        {T::DateTime, core::Value(core::fromCivil({1899, 12, 29, 6, 0, 0, 0}))},
        {T::DateTime, core::Value(core::fromCivil({9999, 12, 31, 23, 59, 59, 999}))},
        {T::Boolean, core::Value(false)},
        {T::Binary, core::Value(core::Bytes{1, 2, 3})},
    };
    for (const auto& [type, value] : cases) {
        const auto text = cli::csvText(value);
        const auto back =
            cli::csvFieldValue(column(type, 50), cli::CsvField{text.text, text.quote});
        EXPECT_EQ(back, value) << text.text;
    }
}

} // namespace
