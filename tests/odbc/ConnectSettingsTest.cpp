// Connection strings as Access users write them.
#include "odbc/ConnectSettings.h"
#include "odbc/Diagnostics.h"

#include <gtest/gtest.h>

namespace {

TEST(ConnectSettingsTest, KeywordsWithBracesCaseAndBlanks) {
    const auto k = odbc::parseConnectString(
        " driver = {Tablory} ; DBQ={/tmp/a;b}}c.mdb};pwd=se cret;;ReadOnly=1;Dbq=/other.mdb");
    EXPECT_EQ(k.at("DRIVER"), "Tablory");
    EXPECT_EQ(k.at("DBQ"), "/tmp/a;b}c.mdb"); // the first value of a key counts
    EXPECT_EQ(k.at("PWD"), "se cret");
    const auto s = odbc::resolveSettings(k);
    EXPECT_EQ(s.file, "/tmp/a;b}c.mdb");
    EXPECT_EQ(s.password, "se cret");
    EXPECT_TRUE(s.readOnly);
    EXPECT_FALSE(s.create);
    EXPECT_EQ(s.completedString(),
              "DRIVER={Tablory};DBQ={/tmp/a;b}}c.mdb};PWD={se cret};ReadOnly=1;");
    EXPECT_EQ(odbc::parseConnectString(s.completedString()).at("DBQ"), s.file);
}

TEST(ConnectSettingsTest, CreateAndMissingFile) {
    auto s = odbc::resolveSettings(odbc::parseConnectString("CREATE_DB=/tmp/new.mdb"));
    EXPECT_EQ(s.file, "/tmp/new.mdb");
    EXPECT_TRUE(s.create);
    s = odbc::resolveSettings(odbc::parseConnectString("DBQ=/tmp/x.mdb;CREATE_DB=0"));
    EXPECT_FALSE(s.create);
    try {
        odbc::resolveSettings(odbc::parseConnectString("Driver={Tablory};PWD=x"));
        ADD_FAILURE() << "no file accepted";
    } catch (const odbc::OdbcError& e) {
        EXPECT_EQ(e.state(), "IM007");
    }
}

} // namespace
