// The filter dialog's record-acceptance test on a Jet file: the or/and/null words, the three
// match types with and without case folding, exact matches by value, and the range rules of
// each kind of field (tolerance, padded text bounds, whole end days); and the check of typed
// values by the field's kind.
#include "data/FilterCriteria.h"
#include "DataFixture.h"
#include "common/Samples.h"
#include "data/TADOQuery.h"
#include "data/TField.h"
#include "jet/Database.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using data::FilterCriterion;
using data::FilterMatchType;

FilterCriterion byValue(std::string field, std::string value,
                        FilterMatchType type = FilterMatchType::Start, bool caseSensitive = false) {
    FilterCriterion criterion;
    criterion.fieldLabel = criterion.fieldName = field;
    criterion.matchType = type;
    criterion.value = value;
    criterion.caseSensitive = caseSensitive;
    return criterion;
}

FilterCriterion byRange(std::string field, std::string start, std::string end) {
    FilterCriterion criterion;
    criterion.fieldLabel = criterion.fieldName = field;
    criterion.matchType = FilterMatchType::Range;
    criterion.start = start;
    criterion.end = end;
    return criterion;
}

class FilterCriteriaTest : public testing::Test {
protected:
    void SetUp() override {
        // A folder of this process's own: the cases run side by side as processes.
        file = testing_support::scratchDir("filter-criteria") / "filter-criteria.mdb";
        jet::Database::create(file, "");
        connection.setConnectionString(data_test::openString(file));
        connection.setLoginPrompt(false);
        data_test::run(connection, "create table T (ID long primary key, Name text(20), "
                                   "Amount double, Qty long, Placed datetime)");
        const char* rows[] = {
            "1, 'Smith', 10, 5, #1996-07-04#",
            "2, 'JONES', 20.00005, 15, #1996-07-04 15:30#",
            "3, 'smithers', 20.001, 25, #1996-07-05 09:00#",
            "4, 'Brown', 9.99995, 10, #1996-07-06#",
            "5, 'banana', null, null, null",
            "6, null, 30, 40, #1996-07-03 23:59:59#",
        };
        for (const char* row : rows)
            data_test::run(connection, "insert into T values (" + std::string(row) + ")");
        query.setConnection(&connection);
        query.setSQL("select * from T order by ID");
        query.open();
    }
    void TearDown() override {
        query.close();
        connection.close();
        std::filesystem::remove(file);
    }

    // The IDs of the records the criteria accept, joined by ",".
    std::string accepted(const std::vector<FilterCriterion>& criteria) {
        data::RecordFilter filter(criteria, query);
        query.setOnFilterRecord([&](data::TCustomADODataSet& ds) { return filter.accepts(ds); });
        query.setFiltered(true);
        std::string ids;
        for (query.first(); !query.eof(); query.next())
            ids += (ids.empty() ? "" : ",") + query.fieldByName("ID").asString();
        query.setFiltered(false);
        query.setOnFilterRecord(nullptr);
        return ids;
    }

    std::filesystem::path file;
    data::TADOConnection connection;
    data::TADOQuery query;
};

TEST_F(FilterCriteriaTest, AcceptsTheRecordsEachCriterionDescribes) {
    struct Case {
        const char* what;
        std::vector<FilterCriterion> criteria;
        const char* ids;
    };
    const Case cases[] = {
        {"start, either word", {byValue("Name", "smith or jones")}, "1,2,3"},
        {"exact, either word", {byValue("Name", "SMITH Or jones", FilterMatchType::Exact)}, "1,2"},
        {"anywhere", {byValue("Name", "ith", FilterMatchType::Anywhere)}, "1,3"},
        {"case-sensitive start", {byValue("Name", "Smith", FilterMatchType::Start, true)}, "1"},
        {"both words", {byValue("Name", "a and n", FilterMatchType::Anywhere)}, "5"},
        {"null", {byValue("Name", "null")}, "6"},
        {"null or a value", {byValue("Qty", "NULL or 15", FilterMatchType::Exact)}, "2,5"},
        {"exact by value", {byValue("Qty", "15 or 025", FilterMatchType::Exact)}, "2,3"},
        {"exact date", {byValue("Placed", "7/4/1996", FilterMatchType::Exact)}, "1"},
        {"no value: no criterion", {byValue("Name", "  ")}, "1,2,3,4,5,6"},
        {"numbers within the tolerance", {byRange("Amount", "10", "20")}, "1,2,4"},
        {"integers", {byRange("Qty", "10", "15")}, "2,4"},
        {"open start", {byRange("Qty", "", "10")}, "1,4"},
        {"end day taken whole", {byRange("Placed", "7/4/1996", "7/4/1996")}, "1,2"},
        {"end with a time", {byRange("Placed", "", "7/4/1996 12:00 PM")}, "1,6"},
        {"text end padded", {byRange("Name", "", "b")}, "4,5"},
        {"text start", {byRange("Name", "c", "")}, "1,2,3"},
        {"every criterion", {byValue("Name", "s"), byRange("Amount", "10", "20")}, "1"},
    };
    for (const Case& c : cases) EXPECT_EQ(accepted(c.criteria), c.ids) << c.what;
}

TEST_F(FilterCriteriaTest, ForgottenFieldsAndUnreadableBoundsAreErrors) {
    EXPECT_EQ(data_test::errorOf([&] { data::RecordFilter({byValue("Gone", "x")}, query); }),
              "ADOQuery1: Field 'Gone' not found");
    EXPECT_NE(data_test::errorOf([&] { data::RecordFilter({byRange("Qty", "x", "")}, query); }),
              "");
}

TEST(FilterValueCheck, TypedValuesAreReadByTheFieldsKind) {
    using data::FieldType;
    struct Case {
        const char* text;
        FieldType type;
        bool range;
        bool valid;
    };
    const Case cases[] = {
        {"12 or 13", FieldType::Integer, false, true},
        {"12 or x", FieldType::Integer, false, false},
        {"1.5", FieldType::AutoInc, false, false},
        {"null or 4", FieldType::Smallint, false, true},
        {"1.5 or 2e3", FieldType::Float, false, true},
        {"abc", FieldType::WideString, false, true},
        {"maybe", FieldType::Boolean, false, true},
        {"7/4/1996 or 7/5/1996", FieldType::DateTime, false, true},
        {"13/45/1996", FieldType::DateTime, false, false},
        {"", FieldType::Currency, true, true},
        {"a", FieldType::Currency, true, false},
        {"7/4/1996 3:30:00 PM", FieldType::DateTime, true, true},
    };
    const data::LocaleFormats formats;
    for (const Case& c : cases) {
        const bool valid = c.range ? data::validFilterBound(c.text, c.type, formats)
                                   : data::validFilterValue(c.text, c.type, formats);
        EXPECT_EQ(valid, c.valid) << c.text;
    }
}

} // namespace
