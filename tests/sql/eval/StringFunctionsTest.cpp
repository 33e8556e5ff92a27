// Text functions: positions, lengths, edge cases, Null handling.
#include "FunctionCallCase.h"

#include "core/Error.h"
#include "sql/eval/EvalErrors.h"

#include <gtest/gtest.h>

namespace {

using namespace evaltest;

class TextFunction : public FunctionCallTest {};

TEST_P(TextFunction, Returns) {
    expectReturns(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Slicing, TextFunction,
    testing::Values(CallCase{"Len", {text("hello")}, lng(5)}, CallCase{"Len", {text("")}, lng(0)},
                    CallCase{"Len", {lng(123)}, lng(3)},
                    CallCase{"Len", {text("\xF0\x9F\x98\x80")}, lng(2)},
                    CallCase{"Len", {null()}, null()},
                    CallCase{"Left", {text("hello"), lng(2)}, text("he")},
                    CallCase{"Left", {text("hello"), lng(10)}, text("hello")},
                    CallCase{"Left", {text("hello"), lng(0)}, text("")},
                    CallCase{"Left", {null(), lng(1)}, null()},
                    CallCase{"Right", {text("hello"), lng(3)}, text("llo")},
                    CallCase{"Right", {text("hello"), lng(9)}, text("hello")},
                    CallCase{"Mid", {text("hello"), lng(2), lng(3)}, text("ell")},
                    CallCase{"Mid", {text("hello"), lng(2)}, text("ello")},
                    CallCase{"Mid", {text("hello"), lng(4), lng(10)}, text("lo")},
                    CallCase{"Mid", {text("hello"), lng(6)}, text("")},
                    CallCase{"Mid", {text("hello"), lng(99), lng(1)}, text("")},
                    CallCase{"Mid", {text("h\u00e9llo"), lng(2), lng(1)}, text("\u00e9")},
                    CallCase{"Mid$", {text("abc"), lng(2)}, text("bc")}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Searching, TextFunction,
    testing::Values(CallCase{"InStr", {text("abcabc"), text("c")}, lng(3)},
                    CallCase{"InStr", {lng(4), text("abcabc"), text("c")}, lng(6)},
                    CallCase{"InStr", {text("abc"), text("x")}, lng(0)},
                    CallCase{"InStr", {lng(4), text("abc"), text("c")}, lng(0)},
                    CallCase{"InStr", {text(""), text("a")}, lng(0)},
                    CallCase{"InStr", {text("abc"), text("")}, lng(1)},
                    CallCase{"InStr", {lng(2), text("abc"), text("")}, lng(2)},
                    CallCase{"InStr", {text("ABC"), text("b")}, lng(2)},
                    CallCase{"InStr", {lng(1), text("ABC"), text("b"), lng(0)}, lng(0)},
                    CallCase{"InStr", {lng(1), text("ABC"), text("b"), lng(1)}, lng(2)},
                    CallCase{"InStr", {null(), text("b")}, null()},
                    CallCase{"InStr", {text("abc"), null()}, null()},
                    CallCase{"InStrRev", {text("abcabc"), text("b")}, lng(5)},
                    CallCase{"InStrRev", {text("abcabc"), text("b"), lng(4)}, lng(2)},
                    CallCase{"InStrRev", {text("abcabc"), text("bc"), lng(5)}, lng(2)},
                    CallCase{"InStrRev", {text("abc"), text("x")}, lng(0)},
                    CallCase{"InStrRev", {text("abc"), text("c"), lng(9)}, lng(0)},
                    CallCase{"StrComp", {text("abc"), text("ABC")}, integer(0)},
                    CallCase{"StrComp", {text("abc"), text("ABC"), lng(0)}, integer(1)},
                    CallCase{"StrComp", {text("a"), text("b")}, integer(-1)},
                    CallCase{"StrComp", {text("a"), null()}, null()}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Shaping, TextFunction,
    testing::Values(
        CallCase{"UCase", {text("stra\u00dfe \u00e9t\u00e9")}, text("STRA\u00dfE \u00c9T\u00c9")},
        CallCase{"LCase", {text("ABC \u00c9")}, text("abc \u00e9")},
        CallCase{"UCase", {null()}, null()}, CallCase{"Trim", {text("  a b  ")}, text("a b")},
        CallCase{"LTrim", {text("  a  ")}, text("a  ")},
        CallCase{"RTrim", {text("  a  ")}, text("  a")},
        CallCase{"Trim", {text("\ta\t")}, text("\ta\t")}, CallCase{"Trim", {text("   ")}, text("")},
        CallCase{"Replace", {text("aXbXc"), text("x"), text("-")}, text("a-b-c")},
        CallCase{"Replace", {text("aXbXc"), text("X"), text("-"), lng(3)}, text("b-c")},
        CallCase{"Replace", {text("aXbXc"), text("X"), text("-"), lng(1), lng(1)}, text("a-bXc")},
        CallCase{"Replace",
                 {text("aXbXc"), text("x"), text("-"), lng(1), lng(-1), lng(0)},
                 text("aXbXc")},
        CallCase{"Replace", {text("abc"), text(""), text("-")}, text("abc")},
        CallCase{"Replace", {text("aaa"), text("aa"), text("b")}, text("ba")},
        CallCase{"Replace", {text("abc"), text("b"), text("")}, text("ac")},
        CallCase{"Space", {lng(3)}, text("   ")},
        CallCase{"String", {lng(3), text("xyz")}, text("xxx")},
        CallCase{"String", {lng(2), lng(65)}, text("AA")},
        CallCase{"String", {lng(2), lng(321)}, text("AA")},
        CallCase{"String", {lng(2), null()}, null()},
        CallCase{"StrReverse", {text("ab\u00e9")}, text("\u00e9ba")},
        CallCase{"Asc", {text("A")}, integer(65)}, CallCase{"Asc", {text("\u20ac")}, integer(128)},
        CallCase{"AscW", {text("\u20ac")}, integer(0x20AC)}, CallCase{"Chr", {lng(65)}, text("A")},
        CallCase{"Chr", {lng(128)}, text("\u20ac")},
        CallCase{"ChrW", {lng(0x20AC)}, text("\u20ac")}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

std::string errorOf(const char* function, std::vector<Value> args) {
    try {
        sql::callFunction(function, args, {});
    } catch (const core::Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(StringFunctions, BadCountsAndPositionsAreErrors) {
    const std::string invalid = "Invalid procedure call or argument";
    EXPECT_EQ(errorOf("Left", {text("a"), lng(-1)}), invalid);
    EXPECT_EQ(errorOf("Mid", {text("a"), lng(0)}), invalid);
    EXPECT_EQ(errorOf("Mid", {text("a"), lng(1), lng(-1)}), invalid);
    EXPECT_EQ(errorOf("InStr", {lng(0), text("a"), text("a")}), invalid);
    EXPECT_EQ(errorOf("InStr", {lng(1), text("a"), text("a"), lng(3)}), invalid);
    EXPECT_EQ(errorOf("Space", {lng(-1)}), invalid);
    EXPECT_EQ(errorOf("Asc", {text("")}), invalid);
    EXPECT_EQ(errorOf("Chr", {lng(256)}), invalid);
    EXPECT_EQ(errorOf("InStrRev", {text("a"), text("a"), lng(0)}), invalid);
}

TEST(StringFunctions, NullCountsAreInvalidUse) {
    EXPECT_EQ(errorOf("Left", {text("a"), null()}), "Invalid use of Null");
    EXPECT_EQ(errorOf("Mid", {text("a"), null()}), "Invalid use of Null");
    EXPECT_EQ(errorOf("Replace", {null(), text("a"), text("b")}), "Invalid use of Null");
    EXPECT_EQ(errorOf("Left$", {null(), lng(1)}), "Invalid use of Null");
    EXPECT_EQ(errorOf("Chr", {null()}), "Invalid use of Null");
}

} // namespace
