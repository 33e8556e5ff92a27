// Object names compare as Jet compares them: letter case never matters, for any letter that
// has one; everything else (accents, spacing, length) does.
#include "core/ObjectName.h"

#include <gtest/gtest.h>

namespace {

struct NamePair {
    const char* a;
    const char* b;
    bool same;
};

const NamePair pairs[] = {
    {"Customers", "customers", true},
    {"CUSTOMERS", "cUsToMeRs", true},
    {"\u00DCber", "\u00FCber", true},                               // Über / über
    {"\u00C9T\u00C9", "\u00E9t\u00E9", true},                       // ÉTÉ / été
    {"\u0141\u00D3D\u0179", "\u0142\u00F3d\u017A", true},           // ŁÓDŹ / łódź
    {"\u039A\u0391\u03A6\u0395", "\u03BA\u03B1\u03C6\u03B5", true}, // ΚΑΦΕ / καφε
    {"\u0422\u0410\u0411\u041B\u0418\u0426\u0410", "\u0442\u0430\u0431\u043B\u0438\u0446\u0430",
     true},                                 // ТАБЛИЦА / таблица
    {"\u0401\u0416", "\u0451\u0436", true}, // ЁЖ / ёж
    {"Order Details", "order details", true},
    {"", "", true},
    {"\u00DCber", "Uber", false},      // an accent is not a case
    {"Stra\u00DFe", "STRASSE", false}, // ß has no one-letter capital
    {"Orders", "Orders ", false},
    {"Orders", "Order", false},
    {"a-b", "a_b", false},
    {"\u00E6", "ae", false},
};

TEST(ObjectNames, CompareWithoutRegardToCaseForEveryLetter) {
    for (const NamePair& p : pairs) {
        EXPECT_EQ(core::sameName(p.a, p.b), p.same) << p.a << " / " << p.b;
        EXPECT_EQ(core::sameName(p.b, p.a), p.same) << p.b << " / " << p.a;
    }
}

// A malformed byte never equals a letter, and a name cut inside a character is not the name.
TEST(ObjectNames, BrokenTextMatchesOnlyItself) {
    EXPECT_FALSE(core::sameName("\xC3", "\u00DC"));
    EXPECT_FALSE(core::sameName("\u00DCber", "\u00DC"));
    EXPECT_TRUE(core::sameName("x\xFFy", "X\xFFY"));
}

} // namespace
