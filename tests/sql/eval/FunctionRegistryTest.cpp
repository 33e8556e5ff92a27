// Looking functions up by name, argument counts, and IIf, IsNull, Nz, Switch, Choose.
#include "EvalTestValues.h"

#include "core/Error.h"
#include "sql/eval/EvalErrors.h"
#include "sql/eval/FunctionFamilies.h"

#include <set>

#include <gtest/gtest.h>

namespace {

using namespace evaltest;

std::string errorOf(std::string_view name, std::vector<Value> args) {
    try {
        sql::callFunction(name, args, {});
    } catch (const core::Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(FunctionRegistry, NamesIgnoreCase) {
    EXPECT_EQ(call("ucase", {text("a")}), text("A"));
    EXPECT_EQ(call("UCASE", {text("a")}), text("A"));
    ASSERT_NE(sql::findFunction("left$"), nullptr);
    EXPECT_EQ(sql::findFunction("left$")->name, "Left$");
}

TEST(FunctionRegistry, EveryNameIsUniqueAndFindsItself) {
    std::set<std::string> seen;
    for (auto family : {sql::informationFunctions, sql::stringFunctions, sql::mathFunctions,
                        sql::conversionFunctions, sql::dateFunctions, sql::formatFunctions}) {
        for (const sql::FunctionInfo& f : family()) {
            std::string lower(f.name);
            for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
            EXPECT_TRUE(seen.insert(lower).second) << f.name << " is registered twice";
            EXPECT_EQ(sql::findFunction(f.name), &f) << f.name;
            EXPECT_LE(f.minArgs, f.maxArgs) << f.name;
        }
    }
    EXPECT_GT(seen.size(), 90u);
}

TEST(FunctionRegistry, UnknownNamesAreUndefined) {
    EXPECT_EQ(errorOf("Frobnicate", {lng(1)}), "Undefined function 'Frobnicate' in expression.");
    EXPECT_EQ(sql::findFunction("Sum"), nullptr); // aggregates are not scalar functions
    EXPECT_THROW(call("Nope", {}), core::SqlError);
}

TEST(FunctionRegistry, ArgumentCountsAreChecked) {
    const std::string tooFew = "Wrong number of arguments used with function in query expression "
                               "'Left'.";
    EXPECT_EQ(errorOf("Left", {text("a")}), tooFew);
    EXPECT_EQ(errorOf("Left", {text("a"), lng(1), lng(2)}), tooFew);
    EXPECT_EQ(errorOf("Now", {lng(1)}),
              "Wrong number of arguments used with function in query expression 'Now'.");
    EXPECT_NO_THROW(
        call("Switch", {Value(true), lng(1), Value(false), lng(2), Value(true), lng(3)}));
}

TEST(FunctionRegistry, VolatileFunctionsAreMarked) {
    for (const char* name : {"Now", "Date", "Time", "Rnd"})
        EXPECT_TRUE(sql::findFunction(name)->isVolatile) << name;
    for (const char* name : {"Len", "DateAdd", "Format"})
        EXPECT_FALSE(sql::findFunction(name)->isVolatile) << name;
}

TEST(InformationFunctions, IIfPicksByTruth) {
    EXPECT_EQ(call("IIf", {Value(true), text("yes"), text("no")}), text("yes"));
    EXPECT_EQ(call("IIf", {lng(0), text("yes"), text("no")}), text("no"));
    EXPECT_EQ(call("IIf", {null(), text("yes"), text("no")}), text("no"));
}

TEST(InformationFunctions, NullTests) {
    EXPECT_EQ(call("IsNull", {null()}), Value(true));
    EXPECT_EQ(call("IsNull", {text("")}), Value(false));
    EXPECT_EQ(call("Nz", {null(), lng(0)}), lng(0));
    EXPECT_EQ(call("Nz", {null()}), text(""));
    EXPECT_EQ(call("Nz", {lng(5), lng(0)}), lng(5));
}

TEST(InformationFunctions, IsNumericAndIsDate) {
    EXPECT_EQ(call("IsNumeric", {text(" 12.5 ")}), Value(true));
    EXPECT_EQ(call("IsNumeric", {text("1,000")}), Value(true));
    EXPECT_EQ(call("IsNumeric", {text("12a")}), Value(false));
    EXPECT_EQ(call("IsNumeric", {text("")}), Value(false));
    EXPECT_EQ(call("IsNumeric", {null()}), Value(false));
    EXPECT_EQ(call("IsNumeric", {currency("1")}), Value(true));
    EXPECT_EQ(call("IsNumeric", {date(2001, 1, 1)}), Value(false));
    EXPECT_EQ(call("IsDate", {text("2/3/2001")}), Value(true));
    EXPECT_EQ(call("IsDate", {text("2/30/2001")}), Value(false));
    EXPECT_EQ(call("IsDate", {date(2001, 1, 1)}), Value(true));
    EXPECT_EQ(call("IsDate", {lng(36925)}), Value(false));
}

TEST(InformationFunctions, SwitchAndChoose) {
    EXPECT_EQ(call("Switch", {Value(false), lng(1), Value(true), lng(2)}), lng(2));
    EXPECT_TRUE(call("Switch", {Value(false), lng(1)}).isNull());
    EXPECT_THROW(call("Switch", {Value(false), lng(1), Value(true)}), sql::EvalError);
    EXPECT_EQ(call("Choose", {lng(2), text("a"), text("b"), text("c")}), text("b"));
    EXPECT_TRUE(call("Choose", {lng(4), text("a"), text("b"), text("c")}).isNull());
    EXPECT_TRUE(call("Choose", {lng(0), text("a")}).isNull());
}

} // namespace
