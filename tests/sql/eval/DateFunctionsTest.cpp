// Date functions: DateSerial normalisation, DateAdd month ends, DateDiff boundaries, DatePart,
// the injected clock.
#include "FunctionCallCase.h"

#include "core/Error.h"
#include "sql/eval/EvalErrors.h"

#include <gtest/gtest.h>

namespace {

using namespace evaltest;

class DateFunction : public FunctionCallTest {};

TEST_P(DateFunction, Returns) {
    expectReturns(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Serial, DateFunction,
    testing::Values(CallCase{"DateSerial", {lng(2001), lng(2), lng(3)}, date(2001, 2, 3)},
                    CallCase{"DateSerial", {lng(2001), lng(13), lng(1)}, date(2002, 1, 1)},
                    CallCase{"DateSerial", {lng(2001), lng(3), lng(0)}, date(2001, 2, 28)},
                    CallCase{"DateSerial", {lng(2000), lng(3), lng(0)}, date(2000, 2, 29)},
                    CallCase{"DateSerial", {lng(2001), lng(0), lng(1)}, date(2000, 12, 1)},
                    CallCase{"DateSerial", {lng(2001), lng(-1), lng(1)}, date(2000, 11, 1)},
                    CallCase{"DateSerial", {lng(2001), lng(1), lng(32)}, date(2001, 2, 1)},
                    CallCase{"DateSerial", {lng(2001), lng(1), lng(-1)}, date(2000, 12, 30)},
                    CallCase{"DateSerial", {lng(1), lng(1), lng(1)}, date(2001, 1, 1)},
                    CallCase{"DateSerial", {lng(95), lng(1), lng(1)}, date(1995, 1, 1)},
                    CallCase{"TimeSerial", {lng(13), lng(4), lng(5)}, date(1899, 12, 30, 13, 4, 5)},
                    CallCase{"TimeSerial", {lng(12), lng(-15), lng(0)}, date(1899, 12, 30, 11, 45)},
                    CallCase{"TimeSerial", {lng(0), lng(0), lng(90)}, date(1899, 12, 30, 0, 1, 30)},
                    CallCase{"DateValue", {text("2/3/2001 13:00")}, date(2001, 2, 3)},
                    CallCase{"TimeValue", {text("2/3/2001 13:00")}, date(1899, 12, 30, 13)},
                    CallCase{"DateValue", {date(1899, 12, 29, 6)}, date(1899, 12, 29)}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Add, DateFunction,
    testing::Values(
        CallCase{"DateAdd", {text("m"), lng(1), date(2001, 1, 31)}, date(2001, 2, 28)},
        CallCase{"DateAdd", {text("m"), lng(1), date(2004, 1, 31)}, date(2004, 2, 29)},
        CallCase{"DateAdd", {text("m"), lng(-1), date(2001, 3, 31, 10)}, date(2001, 2, 28, 10)},
        CallCase{"DateAdd", {text("yyyy"), lng(1), date(2004, 2, 29)}, date(2005, 2, 28)},
        CallCase{"DateAdd", {text("q"), lng(1), date(2001, 11, 30)}, date(2002, 2, 28)},
        CallCase{"DateAdd", {text("d"), lng(-1), date(2001, 3, 1)}, date(2001, 2, 28)},
        CallCase{"DateAdd", {text("y"), lng(1), date(2001, 12, 31)}, date(2002, 1, 1)},
        CallCase{"DateAdd", {text("w"), lng(2), date(2001, 1, 1)}, date(2001, 1, 3)},
        CallCase{"DateAdd", {text("ww"), lng(1), date(2001, 1, 1)}, date(2001, 1, 8)},
        CallCase{"DateAdd", {text("h"), lng(25), date(2001, 1, 1, 1)}, date(2001, 1, 2, 2)},
        CallCase{"DateAdd", {text("n"), lng(-1), date(2001, 1, 1)}, date(2000, 12, 31, 23, 59)},
        CallCase{"DateAdd", {text("s"), lng(3600), date(1899, 12, 29, 23)}, date(1899, 12, 30)},
        CallCase{"DateAdd", {text("d"), lng(1), date(1899, 12, 29, 6)}, date(1899, 12, 30, 6)},
        CallCase{"DateAdd", {text("D"), lng(1), null()}, null()}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Diff, DateFunction,
    testing::Values(
        CallCase{"DateDiff", {text("yyyy"), date(2001, 12, 31), date(2002, 1, 1)}, lng(1)},
        CallCase{"DateDiff", {text("yyyy"), date(2001, 1, 1), date(2001, 12, 31)}, lng(0)},
        CallCase{"DateDiff", {text("m"), date(2001, 1, 31), date(2001, 2, 1)}, lng(1)},
        CallCase{"DateDiff", {text("m"), date(2001, 3, 1), date(2001, 1, 31)}, lng(-2)},
        CallCase{"DateDiff", {text("q"), date(2001, 3, 31), date(2001, 4, 1)}, lng(1)},
        CallCase{"DateDiff", {text("d"), date(2001, 1, 1, 23), date(2001, 1, 2, 1)}, lng(1)},
        CallCase{"DateDiff", {text("d"), date(2001, 1, 1, 1), date(2001, 1, 1, 23)}, lng(0)},
        CallCase{"DateDiff", {text("h"), date(2001, 1, 1, 10, 59), date(2001, 1, 1, 11)}, lng(1)},
        CallCase{
            "DateDiff", {text("n"), date(2001, 1, 1, 10, 0, 59), date(2001, 1, 1, 10, 1)}, lng(1)},
        CallCase{"DateDiff", {text("s"), date(2001, 1, 1), date(2001, 1, 2)}, lng(86400)},
        // 2001-01-01 was a Monday: "w" counts Mondays after it, "ww" counts Sundays.
        CallCase{"DateDiff", {text("w"), date(2001, 1, 1), date(2001, 1, 14)}, lng(1)},
        CallCase{"DateDiff", {text("ww"), date(2001, 1, 1), date(2001, 1, 14)}, lng(2)},
        CallCase{"DateDiff", {text("ww"), date(2001, 1, 6), date(2001, 1, 7)}, lng(1)},
        CallCase{"DateDiff", {text("ww"), date(2001, 1, 7), date(2001, 1, 13)}, lng(0)},
        CallCase{"DateDiff", {text("ww"), date(2001, 1, 7), date(2001, 1, 8), lng(2)}, lng(1)},
        CallCase{"DateDiff", {text("d"), date(1899, 12, 29, 18), date(1899, 12, 30, 6)}, lng(1)},
        CallCase{"DateDiff", {text("d"), text("1/1/2001"), text("1/31/2001")}, lng(30)},
        CallCase{"DateDiff", {text("d"), null(), date(2001, 1, 1)}, null()}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Parts, DateFunction,
    testing::Values(
        CallCase{"Year", {date(2001, 2, 3)}, integer(2001)},
        CallCase{"Month", {date(2001, 2, 3)}, integer(2)},
        CallCase{"Day", {text("2/3/2001")}, integer(3)},
        CallCase{"Hour", {date(2001, 2, 3, 13, 4, 5)}, integer(13)},
        CallCase{"Minute", {date(2001, 2, 3, 13, 4, 5)}, integer(4)},
        CallCase{"Second", {date(2001, 2, 3, 13, 4, 5)}, integer(5)},
        CallCase{"Year", {null()}, null()}, CallCase{"Hour", {date(1899, 12, 29, 6)}, integer(6)},
        CallCase{"Weekday", {date(2001, 2, 3)}, integer(7)},
        CallCase{"Weekday", {date(2001, 2, 3), lng(2)}, integer(6)},
        CallCase{"Weekday", {date(2001, 2, 4), lng(0)}, integer(1)},
        CallCase{"DatePart", {text("q"), date(2001, 8, 1)}, integer(3)},
        CallCase{"DatePart", {text("y"), date(2001, 2, 3)}, integer(34)},
        CallCase{"DatePart", {text("ww"), date(2001, 1, 6)}, integer(1)},
        CallCase{"DatePart", {text("ww"), date(2001, 1, 7)}, integer(2)},
        CallCase{"DatePart", {text("ww"), date(2005, 1, 1), lng(2), lng(2)}, integer(53)},
        CallCase{"DatePart", {text("ww"), date(2005, 1, 3), lng(2), lng(2)}, integer(1)},
        CallCase{"DatePart", {text("ww"), date(2001, 1, 1), lng(1), lng(3)}, integer(53)},
        CallCase{"DatePart", {text("w"), date(2001, 2, 3)}, integer(7)},
        CallCase{"MonthName", {lng(2)}, text("February")},
        CallCase{"MonthName", {lng(2), Value(true)}, text("Feb")},
        CallCase{"WeekdayName", {lng(1)}, text("Sunday")},
        CallCase{"WeekdayName", {lng(1), Value(true), lng(2)}, text("Mon")}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

std::string errorOf(const char* function, std::vector<Value> args) {
    try {
        sql::callFunction(function, args, {});
    } catch (const core::Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(DateFunctions, ArgumentErrors) {
    const std::string invalid = "Invalid procedure call or argument";
    EXPECT_EQ(errorOf("DateAdd", {text("x"), lng(1), date(2001, 1, 1)}), invalid);
    EXPECT_EQ(errorOf("DateAdd", {text("yyyy"), lng(8000), date(2001, 1, 1)}), invalid);
    EXPECT_EQ(errorOf("DateAdd", {text("d"), lng(-1), date(100, 1, 1)}), invalid);
    EXPECT_EQ(errorOf("DateSerial", {lng(10000), lng(1), lng(1)}), invalid);
    EXPECT_EQ(errorOf("Weekday", {date(2001, 1, 1), lng(8)}), invalid);
    EXPECT_EQ(errorOf("MonthName", {lng(13)}), invalid);
    EXPECT_EQ(errorOf("DateAdd", {text("d"), null(), date(2001, 1, 1)}), "Invalid use of Null");
    EXPECT_EQ(errorOf("Year", {text("not a date")}), "Data type mismatch in criteria expression.");
    EXPECT_EQ(errorOf("DateDiff", {text("s"), date(100, 1, 1), date(9999, 1, 1)}), "Overflow");
}

TEST(DateFunctions, ClockIsInjected) {
    sql::EvalContext context;
    context.clock = [] { return core::fromCivil({2001, 2, 3, 13, 4, 5, 0}); };
    EXPECT_EQ(call("Now", {}, context), date(2001, 2, 3, 13, 4, 5));
    EXPECT_EQ(call("Date", {}, context), date(2001, 2, 3));
    EXPECT_EQ(call("Time", {}, context), date(1899, 12, 30, 13, 4, 5));
}

TEST(DateFunctions, SystemClockGivesAPlausibleDate) {
    const Value now = call("Now", {});
    ASSERT_EQ(now.type(), core::DataType::DateTime);
    const std::int16_t year = call("Year", {now}).get<std::int16_t>();
    EXPECT_GE(year, 2020);
    EXPECT_LE(year, 2200);
}

} // namespace
