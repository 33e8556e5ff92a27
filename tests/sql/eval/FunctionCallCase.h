#pragma once
// A function call with the value it must give, for the parametrised tests of the function
// families: the result must match in type as well as in value.
#include "EvalTestValues.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace evaltest {

struct CallCase {
    const char* function;
    std::vector<Value> args;
    Value expected;
};

inline void PrintTo(const CallCase& c, std::ostream* os) {
    *os << c.function << "(";
    for (const Value& v : c.args) *os << testing::PrintToString(v) << " ";
    *os << ")";
}

class FunctionCallTest : public testing::TestWithParam<CallCase> {
protected:
    static void expectReturns(const CallCase& c) {
        const Value result = sql::callFunction(c.function, c.args, {});
        EXPECT_EQ(result.type(), c.expected.type()) << testing::PrintToString(result);
        EXPECT_EQ(result, c.expected);
    }
};

} // namespace evaltest
