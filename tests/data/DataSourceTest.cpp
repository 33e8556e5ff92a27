// The data source and its links: what the controls hear of opening, moving, editing and
// posting; the enabled and auto-edit flags; DisableControls; and components going away in
// any order.
#include "DataFixture.h"
#include "data/TADOQuery.h"
#include "data/TDataSource.h"
#include "data/TField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

using data::DataSetState;
using data::TADOConnection;
using data::TADOQuery;
using data::TDataSource;
using data_test::RecordingLink;
using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Not;

class DataSourceTest : public testing::Test {
protected:
    void SetUp() override {
        data_test::openShop(connection);
        query.setConnection(&connection);
        query.setSQL("select * from Customers");
        source.setDataSet(&query);
        link.setDataSource(&source);
    }

    TADOConnection connection;
    TADOQuery query;
    TDataSource source;
    RecordingLink link;
};

TEST_F(DataSourceTest, LinksHearOpeningAndClosing) {
    EXPECT_FALSE(link.active());
    query.open();
    EXPECT_TRUE(link.active());
    query.close();
    EXPECT_FALSE(link.active());
    EXPECT_THAT(link.events, ElementsAre("active 1", "active 0"));
}

TEST_F(DataSourceTest, LinksHearMovesWithTheirDistance) {
    query.open();
    link.events.clear();
    query.next();
    query.moveBy(5);
    query.prior();
    query.prior();
    query.prior(); // at the first record already: nothing moves
    query.last();
    EXPECT_THAT(link.events,
                ElementsAre("check", "scrolled 1", "check", "scrolled 1", "check", "scrolled -1",
                            "check", "scrolled -1", "check", "check", "changed"));
}

TEST_F(DataSourceTest, LinksHearEditingFieldChangesAndPosting) {
    query.open();
    link.events.clear();
    query.edit();
    query.fieldByName("City").setAsString("Oslo");
    query.post();
    EXPECT_THAT(link.events,
                ElementsAre("editing 1", "field City", "update", "editing 0", "changed"));
}

TEST_F(DataSourceTest, APostAsksTheControlsForWhatTheUserTyped) {
    query.open();
    link.onUpdate = [&] { query.fieldByName("City").setAsString("Typed"); };
    query.edit();
    query.post();
    EXPECT_EQ(data_test::rowsOf(connection, "select City from Customers where ID = 1")[0], "Typed");
}

TEST_F(DataSourceTest, ADisabledSourceDetachesItsLinksAndLeavesTheDataSetAlone) {
    query.open();
    query.edit();
    query.fieldByName("City").setAsString("Oslo");
    link.events.clear();
    source.setEnabled(false);
    EXPECT_FALSE(link.active());
    EXPECT_FALSE(link.editing());
    EXPECT_EQ(source.state(), DataSetState::Inactive);
    EXPECT_EQ(query.state(), DataSetState::Edit);
    query.next(); // posts; the link hears nothing
    EXPECT_THAT(link.events, ElementsAre("active 0", "editing 0"));
    source.setEnabled(true);
    EXPECT_TRUE(link.active());
    EXPECT_EQ(source.state(), DataSetState::Browse);
    EXPECT_EQ(data_test::rowsOf(connection, "select City from Customers where ID = 1")[0], "Oslo");
}

TEST_F(DataSourceTest, AutoEditDecidesWhetherAControlMayStartEditing) {
    query.open();
    source.setAutoEdit(false);
    EXPECT_FALSE(link.edit());
    EXPECT_EQ(query.state(), DataSetState::Browse);
    source.setAutoEdit(true);
    EXPECT_TRUE(link.edit());
    EXPECT_EQ(query.state(), DataSetState::Edit);
    EXPECT_TRUE(link.editing());
}

TEST_F(DataSourceTest, AutoEditDoesNotEditAResultThatCannotBeModified) {
    query.setSQL("select count(*) as N from Customers");
    query.open();
    EXPECT_THROW(link.edit(), core::Error);
    EXPECT_EQ(query.state(), DataSetState::Browse);
}

TEST_F(DataSourceTest, DisabledControlsHearOneChangeWhenEnabledAgain) {
    query.open();
    link.events.clear();
    query.disableControls();
    query.disableControls();
    query.next();
    query.next();
    query.enableControls();
    EXPECT_THAT(link.events, IsEmpty());
    query.enableControls();
    EXPECT_THAT(link.events, ElementsAre("changed"));
    EXPECT_FALSE(query.controlsDisabled());
}

TEST_F(DataSourceTest, ControlsEnabledAfterTheDataSetClosedHearThatItClosed) {
    query.open();
    link.events.clear();
    query.disableControls();
    query.close();
    query.enableControls();
    EXPECT_FALSE(link.active());
    EXPECT_THAT(link.events, ElementsAre("active 0"));
}

TEST_F(DataSourceTest, TheSourcesHandlersRun) {
    int states = 0, changes = 0;
    const data::TField* changedField = nullptr;
    source.onStateChange = [&] { ++states; };
    source.onDataChange = [&](const data::TField* f) {
        ++changes;
        changedField = f;
    };
    query.open();
    query.edit();
    query.fieldByName("Name").setAsString("Al");
    EXPECT_EQ(changedField, &query.fieldByName("Name"));
    query.cancel();
    EXPECT_EQ(states, 3); // opened, editing, browsing
    EXPECT_GE(changes, 2);
}

TEST_F(DataSourceTest, ARequeryWithOtherColumnsTellsOfANewLayout) {
    query.open();
    link.events.clear();
    query.requery();
    EXPECT_THAT(link.events, Not(Contains("layout")));
    data_test::run(connection, "alter table Customers add column Phone text(10)");
    query.requery();
    EXPECT_THAT(link.events, Contains("layout"));
    EXPECT_EQ(query.fieldCount(), 5u);
}

TEST_F(DataSourceTest, ComponentsMayGoAwayInAnyOrder) {
    auto q = std::make_unique<TADOQuery>();
    auto s = std::make_unique<TDataSource>();
    auto l = std::make_unique<RecordingLink>();
    q->setConnection(&connection);
    q->setSQL("select * from Customers");
    s->setDataSet(q.get());
    l->setDataSource(s.get());
    q->open();
    q.reset(); // the data set first: the link sees an inactive source
    EXPECT_FALSE(l->active());
    EXPECT_EQ(s->dataSet(), nullptr);
    s.reset(); // then the source
    EXPECT_EQ(l->dataSource(), nullptr);
    l.reset();

    auto s2 = std::make_unique<TDataSource>();
    auto l2 = std::make_unique<RecordingLink>();
    s2->setDataSet(&query);
    l2->setDataSource(s2.get());
    l2.reset(); // a link first
    query.open();
    s2.reset();
    query.next();
}

} // namespace
