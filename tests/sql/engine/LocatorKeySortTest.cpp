// The locator sort must give exactly a stable sort by the values' keys: texts that share far
// more than eight key bytes, ties broken past them, Nulls, several columns, descending ones.
#include "sql/engine/execution/LocatorKeySort.h"
#include "sql/engine/execution/SortKey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using core::Value;

struct SortCase {
    const char* name;
    std::vector<bool> descending; // one per value of a row
};

std::ostream& operator<<(std::ostream& os, const SortCase& c) {
    return os << c.name;
}

class LocatorKeySortTest : public ::testing::TestWithParam<SortCase> {};

// A value that often shares a long start with others and often equals another outright.
Value randomValue(std::mt19937& random, std::size_t column) {
    if (random() % 9 == 0) return Value();
    if (column == 1) return Value(double(random() % 7) - 3.0);
    static const char* const starts[] = {"", "a", "Frankfurt am Main, Hauptbahnhof ",
                                         "frankfurt am main, hauptbahnhof "};
    std::string text = starts[random() % 4];
    static const char* const letters[] = {"a", "A", "b", " ", "\xC3\xA9"};
    const std::size_t tail = random() % 4;
    for (std::size_t i = 0; i < tail; ++i) text += letters[random() % 5];
    return Value(text);
}

TEST_P(LocatorKeySortTest, IsTheStableSortOfTheKeys) {
    const SortCase& c = GetParam();
    std::mt19937 random(7);
    sql::LocatorKeySort sorted;
    struct Row {
        std::string key;
        sql::RowLocator locator;
    };
    std::vector<Row> rows;
    for (std::uint32_t r = 0; r < 3000; ++r) {
        Row row{{}, {r / 100 + 1, r % 100}};
        for (std::size_t column = 0; column < c.descending.size(); ++column) {
            const Value value = randomValue(random, column);
            sorted.appendKey(value, c.descending[column]);
            std::string key = sql::sortKey(value);
            if (c.descending[column])
                for (char& b : key) b = static_cast<char>(~b);
            row.key += key;
        }
        sorted.add(row.locator);
        rows.push_back(row);
    }
    sorted.sort();
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.key < b.key; });
    std::vector<sql::RowLocator> expected;
    for (const auto& row : rows) expected.push_back(row.locator);
    EXPECT_EQ(sorted.locators(), expected);
}

const SortCase kCases[] = {
    {"text_ascending", {false}},
    {"text_descending", {true}},
    {"text_then_number", {false, false}},
    {"text_descending_then_number", {true, false}},
    {"text_then_number_descending", {false, true}},
};
INSTANTIATE_TEST_SUITE_P(Keys, LocatorKeySortTest, ::testing::ValuesIn(kCases));

TEST(LocatorKeySort, SortsNothingAndOneRow) {
    sql::LocatorKeySort sorted;
    sorted.sort();
    EXPECT_EQ(sorted.size(), 0u);
    sorted.appendKey(Value("x"), false);
    sorted.add({3, 4});
    sorted.sort();
    EXPECT_EQ(sorted.locators(), (std::vector<sql::RowLocator>{{3, 4}}));
}

} // namespace
