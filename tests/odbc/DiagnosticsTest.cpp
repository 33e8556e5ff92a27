// The SQLSTATE each kind of engine failure reports.
#include "odbc/Diagnostics.h"

#include "core/Error.h"
#include "sql/engine/EngineErrors.h"
#include "sql/syntax/SyntaxError.h"

#include <gtest/gtest.h>

namespace {

namespace m = sql::messages;

TEST(DiagnosticsTest, EngineErrorsMapToTheirSqlStates) {
    const struct {
        std::exception_ptr error;
        const char* state;
    } cases[] = {
        {std::make_exception_ptr(core::SqlError(m::unknownTable("Orders"))), "42S02"},
        {std::make_exception_ptr(core::SqlError(m::tableMissing("Orders"))), "42S02"},
        {std::make_exception_ptr(core::SqlError(m::fieldMissing("Qty", "Orders"))), "42S22"},
        {std::make_exception_ptr(core::SqlError(m::unknownInsertField("Qty"))), "42S22"},
        {std::make_exception_ptr(core::SqlError(std::string(m::missingParameters))), "07002"},
        {std::make_exception_ptr(sql::SyntaxError("Syntax error in FROM clause.", 3)), "42000"},
        {std::make_exception_ptr(core::ConstraintError(std::string(m::duplicateValues))), "23000"},
        {std::make_exception_ptr(core::ConstraintError(m::fieldRequired("T", "F"))), "23000"},
        {std::make_exception_ptr(core::ConstraintError(std::string(m::fieldTooSmall))), "22001"},
        {std::make_exception_ptr(core::SqlError(m::undefinedFunction("Foo"))), "HY000"},
        {std::make_exception_ptr(core::InUseError("Could not use 'a.mdb'; file already in use.")),
         "HY000"},
        {std::make_exception_ptr(core::PasswordError()), "28000"},
    };
    for (const auto& c : cases) {
        try {
            std::rethrow_exception(c.error);
        } catch (const std::exception& e) {
            EXPECT_EQ(odbc::sqlStateOf(e), c.state) << e.what();
        }
    }
}

TEST(DiagnosticsTest, PatternsMatchOnlyTheirOwnMessages) {
    EXPECT_TRUE(odbc::fitsPattern(m::fieldMissing("A 'b'", "T"), m::fieldMissing("", "")));
    EXPECT_FALSE(odbc::fitsPattern(m::tableExists("T"), m::tableMissing("")));
    EXPECT_FALSE(odbc::fitsPattern("Table ''", m::tableMissing("")));
}

} // namespace
