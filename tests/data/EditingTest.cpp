// Changing records through a data set: edit, insert, append, post, cancel and delete; what
// reaches the tables; the optimistic check against rows changed underneath; and the state
// every failure leaves.
#include "DataFixture.h"
#include "data/TADOQuery.h"
#include "data/TField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using data::DataSetState;
using data::TADOConnection;
using data::TADOQuery;
using data_test::errorOf;
using data_test::rowsOf;
using testing::ElementsAre;
using testing::HasSubstr;

class EditingTest : public testing::Test {
protected:
    void SetUp() override {
        data_test::openShop(connection);
        query.setConnection(&connection);
        query.setSQL("select * from Customers");
        query.open();
    }

    data::TField& field(const char* name) { return query.fieldByName(name); }
    std::vector<std::string> customers() {
        return rowsOf(connection, "select ID, Name, City, Credit from Customers order by ID");
    }

    TADOConnection connection;
    TADOQuery query;
};

TEST_F(EditingTest, PostWritesTheChangedFieldsToTheTable) {
    query.next();
    EXPECT_TRUE(query.canModify());
    query.edit();
    EXPECT_EQ(query.state(), DataSetState::Edit);
    EXPECT_FALSE(query.modified());
    field("City").setAsString("Oslo");
    EXPECT_TRUE(query.modified());
    EXPECT_EQ(field("City").asString(), "Oslo");
    query.post();
    EXPECT_EQ(query.state(), DataSetState::Browse);
    EXPECT_FALSE(query.modified());
    EXPECT_THAT(customers(),
                ElementsAre("1|Alice|Paris|10.0000", "2|Bob|Oslo|20.0000", "3|Carol|Rome|30.0000"));
}

TEST_F(EditingTest, CancelAbandonsTheChange) {
    query.edit();
    field("City").setAsString("Oslo");
    query.cancel();
    EXPECT_EQ(query.state(), DataSetState::Browse);
    EXPECT_EQ(field("City").asString(), "Paris");
    EXPECT_THAT(customers()[0], "1|Alice|Paris|10.0000");
}

TEST_F(EditingTest, FieldsTakeValuesOnlyInEditOrInsertState) {
    EXPECT_EQ(errorOf([&] { field("City").setAsString("Oslo"); }),
              "ADOQuery1: Dataset not in edit or insert mode");
    query.edit();
    EXPECT_EQ(errorOf([&] { field("ID").setValue(std::int32_t{9}); }),
              "Field 'ID' cannot be modified");
    EXPECT_FALSE(query.modified());
}

TEST_F(EditingTest, AValueThatDoesNotConvertLeavesTheFieldAsItWas) {
    query.edit();
    EXPECT_EQ(errorOf([&] { field("Credit").setAsString("lots"); }),
              "'lots' is not a valid floating point value");
    EXPECT_EQ(field("Credit").asString(), "10");
    EXPECT_FALSE(query.modified());
    field("Credit").setValue(12.5);
    EXPECT_EQ(field("Credit").value(), core::Value(core::Currency{125000}));
}

TEST_F(EditingTest, InsertPutsANewRecordBeforeTheCurrentOne) {
    query.next();
    query.insert();
    EXPECT_EQ(query.state(), DataSetState::Insert);
    EXPECT_EQ(query.recNo(), 2);
    EXPECT_TRUE(field("Name").isNull());
    field("Name").setAsString("Dan");
    query.post();
    EXPECT_EQ(query.recNo(), 2);
    // The counter and the City default come back from the table.
    EXPECT_EQ(field("ID").asString(), "4");
    EXPECT_EQ(field("City").asString(), "Paris");
    query.next();
    EXPECT_EQ(field("Name").asString(), "Bob");
    EXPECT_EQ(query.recordCount(), 4);
    EXPECT_EQ(customers().back(), "4|Dan|Paris|NULL");
}

TEST_F(EditingTest, AppendPutsTheNewRecordAfterTheLast) {
    query.append();
    EXPECT_EQ(query.recNo(), 4);
    field("Name").setAsString("Eve");
    field("City").clear();
    query.post();
    EXPECT_EQ(customers().back(), "4|Eve|NULL|NULL");
    query.prior();
    EXPECT_EQ(field("Name").asString(), "Carol");
}

TEST_F(EditingTest, CancellingAnInsertReturnsToTheRecordBefore) {
    query.next();
    query.insert();
    query.cancel();
    EXPECT_EQ(query.state(), DataSetState::Browse);
    EXPECT_EQ(field("Name").asString(), "Bob");
    EXPECT_EQ(query.recordCount(), 3);
    query.append();
    query.cancel();
    EXPECT_EQ(field("Name").asString(), "Carol");
    EXPECT_EQ(customers().size(), 3u);
}

TEST_F(EditingTest, AFailingInsertStaysInInsertStateWithItsValues) {
    query.insert();
    field("City").setAsString("Oslo");
    EXPECT_THAT(errorOf([&] { query.post(); }),
                HasSubstr("'Customers.Name' cannot contain a Null"));
    EXPECT_EQ(query.state(), DataSetState::Insert);
    EXPECT_TRUE(query.modified());
    EXPECT_EQ(field("City").asString(), "Oslo");
    field("Name").setAsString("Fay");
    query.post();
    EXPECT_EQ(customers().back(), "4|Fay|Oslo|NULL");
}

TEST_F(EditingTest, AFailingEditStaysInEditState) {
    query.edit();
    field("Name").setAsString(std::string(60, 'x'));
    EXPECT_NE(errorOf([&] { query.post(); }), "");
    EXPECT_EQ(query.state(), DataSetState::Edit);
    EXPECT_EQ(field("Name").asString(), std::string(60, 'x'));
    EXPECT_THAT(customers()[0], "1|Alice|Paris|10.0000");
}

TEST_F(EditingTest, AUniqueIndexViolationIsTheEnginesError) {
    TADOQuery orders;
    orders.setConnection(&connection);
    orders.setSQL("select * from Orders");
    orders.open();
    orders.edit();
    orders.fieldByName("OrderID").setValue(std::int32_t{2});
    EXPECT_THAT(errorOf([&] { orders.post(); }), HasSubstr("duplicate values"));
    EXPECT_EQ(orders.state(), DataSetState::Edit);
}

TEST_F(EditingTest, DeleteRemovesTheRowAndMovesToTheNext) {
    query.next();
    query.deleteRecord();
    EXPECT_EQ(field("Name").asString(), "Carol");
    EXPECT_EQ(query.recordCount(), 2);
    EXPECT_THAT(customers(), ElementsAre("1|Alice|Paris|10.0000", "3|Carol|Rome|30.0000"));
    query.deleteRecord(); // the last record: its predecessor becomes current
    EXPECT_EQ(field("Name").asString(), "Alice");
    query.deleteRecord();
    EXPECT_TRUE(query.isEmpty());
    EXPECT_TRUE(query.eof());
    EXPECT_EQ(errorOf([&] { query.deleteRecord(); }),
              "ADOQuery1: Cannot perform this operation on an empty dataset");
}

TEST_F(EditingTest, DeletingARecordBeingInsertedOnlyDiscardsIt) {
    query.insert();
    field("Name").setAsString("Gus");
    query.deleteRecord();
    EXPECT_EQ(query.state(), DataSetState::Browse);
    EXPECT_EQ(query.recordCount(), 3);
    EXPECT_EQ(customers().size(), 3u);
    EXPECT_EQ(field("Name").asString(), "Alice");
}

TEST_F(EditingTest, DeletingARecordBeingEditedDropsTheEdit) {
    query.edit();
    field("City").setAsString("Oslo");
    query.deleteRecord();
    EXPECT_EQ(query.state(), DataSetState::Browse);
    EXPECT_FALSE(query.modified());
    EXPECT_EQ(field("Name").asString(), "Bob");
    EXPECT_EQ(customers().size(), 2u);
}

TEST_F(EditingTest, EditOnAnEmptyDataSetInserts) {
    query.close();
    query.setSQL("select * from Customers where ID > 10");
    query.open();
    query.edit();
    EXPECT_EQ(query.state(), DataSetState::Insert);
    field("Name").setAsString("Hal");
    query.post();
    EXPECT_EQ(query.recordCount(), 1);
    EXPECT_EQ(field("ID").asString(), "4");
}

TEST_F(EditingTest, AResultWithoutBaseRowsCannotBeModified) {
    query.close();
    query.setSQL("select City, count(*) as N from Customers group by City");
    query.open();
    EXPECT_FALSE(query.canModify());
    EXPECT_FALSE(query.field(0).canModify());
    EXPECT_EQ(errorOf([&] { query.edit(); }), "ADOQuery1: Cannot modify a read-only dataset");
    EXPECT_EQ(errorOf([&] { query.insert(); }), "ADOQuery1: Cannot modify a read-only dataset");
    EXPECT_EQ(errorOf([&] { query.deleteRecord(); }),
              "ADOQuery1: Cannot modify a read-only dataset");
    EXPECT_EQ(query.state(), DataSetState::Browse);
}

TEST_F(EditingTest, MovingPostsAModifiedRecordAndLeavesAnUntouchedOne) {
    query.edit();
    field("City").setAsString("Oslo");
    query.next();
    EXPECT_EQ(query.state(), DataSetState::Browse);
    EXPECT_EQ(customers()[0], "1|Alice|Oslo|10.0000");

    query.insert(); // untouched: moving discards it
    query.next();
    EXPECT_EQ(query.recordCount(), 3);
    EXPECT_EQ(field("Name").asString(), "Carol");

    query.edit();
    query.first();
    EXPECT_EQ(query.state(), DataSetState::Browse);
}

TEST_F(EditingTest, AMoveWhosePostFailsStaysPut) {
    query.edit();
    field("Name").clear();
    EXPECT_NE(errorOf([&] { query.next(); }), "");
    EXPECT_EQ(query.state(), DataSetState::Edit);
    EXPECT_EQ(query.recNo(), 1);
}

TEST_F(EditingTest, APostFailsWhenTheRowChangedUnderneath) {
    query.edit();
    field("City").setAsString("Oslo");
    data_test::run(connection, "update Customers set City = 'Lima' where ID = 1");
    EXPECT_EQ(errorOf([&] { query.post(); }),
              "Row cannot be located for updating. Some values may have been changed since it "
              "was last read.");
    EXPECT_EQ(query.state(), DataSetState::Edit);
    EXPECT_EQ(field("City").asString(), "Oslo");
    EXPECT_EQ(customers()[0], "1|Alice|Lima|10.0000");
    // After a requery (which cannot post either) the user can start again.
    query.cancel();
    query.requery();
    EXPECT_EQ(field("City").asString(), "Lima");
}

TEST_F(EditingTest, APostFailsWhenTheRowVanished) {
    query.edit();
    field("City").setAsString("Oslo");
    data_test::run(connection, "delete from Customers where ID = 1");
    EXPECT_THAT(errorOf([&] { query.post(); }), HasSubstr("Row cannot be located for updating"));
    EXPECT_EQ(query.state(), DataSetState::Edit);
    EXPECT_EQ(customers().size(), 2u);
}

TEST_F(EditingTest, ADeleteFailsWhenTheRowChangedUnderneath) {
    data_test::run(connection, "update Customers set Credit = 99 where ID = 1");
    EXPECT_THAT(errorOf([&] { query.deleteRecord(); }),
                HasSubstr("Row cannot be located for deletion"));
    EXPECT_EQ(query.recordCount(), 3);
    EXPECT_EQ(customers().size(), 3u);
}

TEST_F(EditingTest, OwnPostsDoNotTripTheCheck) {
    query.edit();
    field("City").setAsString("Oslo");
    query.post();
    query.edit();
    field("Credit").setAsString("11");
    query.post();
    EXPECT_EQ(customers()[0], "1|Alice|Oslo|11.0000");
}

TEST_F(EditingTest, ARecordOfAJoinUpdatesTheTableItsFieldCameFrom) {
    query.close();
    query.setSQL("select o.OrderID, o.Amount, c.Name from Orders as o inner join Customers as c "
                 "on o.CustomerID = c.ID order by o.OrderID");
    query.open();
    ASSERT_TRUE(query.canModify());
    query.next(); // order 2 of Alice
    query.edit();
    field("Amount").setValue(55.0);
    field("Name").setAsString("Alicia");
    query.post();
    EXPECT_THAT(rowsOf(connection, "select Amount from Orders where OrderID = 2"),
                ElementsAre("55"));
    EXPECT_EQ(customers()[0], "1|Alicia|Paris|10.0000");
    EXPECT_EQ(errorOf([&] { query.insert(); }),
              "ADOQuery1: Cannot insert a record into a result drawn from more than one table.");
    EXPECT_EQ(errorOf([&] { query.deleteRecord(); }),
              "ADOQuery1: Cannot delete a record of a result drawn from more than one table.");
    EXPECT_EQ(query.state(), DataSetState::Browse);
}

TEST_F(EditingTest, AJoinedRecordIsWrittenWholeOrNotAtAll) {
    query.close();
    query.setSQL("select o.OrderID, o.Amount, c.Name from Orders as o inner join Customers as c "
                 "on o.CustomerID = c.ID order by o.OrderID");
    query.open();
    query.edit();
    field("Amount").setValue(1.0);
    field("Name").clear(); // Customers.Name is required
    EXPECT_THAT(errorOf([&] { query.post(); }), HasSubstr("Required"));
    EXPECT_EQ(query.state(), DataSetState::Edit);
    EXPECT_THAT(rowsOf(connection, "select Amount from Orders where OrderID = 1"),
                ElementsAre("100"));
}

TEST_F(EditingTest, ResultsBeingReadAreFinishedBeforeAPost) {
    TADOQuery other;
    other.setConnection(&connection);
    other.setSQL("select * from Orders where OrderID > 0"); // streamed, not by locators
    other.open();
    ASSERT_FALSE(other.allRecordsRead());
    query.edit();
    field("City").setAsString("Oslo");
    query.post();
    EXPECT_TRUE(other.allRecordsRead());
    EXPECT_EQ(other.recordCount(), 3);
}

} // namespace
