// The Table Browser & Editor page on a copy of the order-entry sample: table open from the
// selector (typing with completion, picking, text set by the program), the column sort, the
// failures that leave the query closed and the mode as it was, the mode label, and the exact
// order of the steps of the four resets and the Edit switch, as the data source sees them.
#include "browser/BrowserPage.h"
#include "ControlsFixture.h"
#include "WindowHelpers.h"
#include "controls/ClickLabel.h"
#include "controls/ComboList.h"
#include "data/TCustomADODataSet.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>

using controls::NavButtonStyle;

namespace test {

// The page's controls, found by their names.
struct BrowserControls {
    explicit BrowserControls(QWidget& page)
        : dbtabs(&child<QComboBox>(page, "dbtabs")),
          Label5(&child<controls::ClickLabel>(page, "Label5")),
          wwDBGrid1(&child<controls::TwwDBGrid>(page, "wwDBGrid1")),
          nav(&child<controls::TwwDBNavigator>(page, "nav")) {}
    QComboBox* dbtabs;
    controls::ClickLabel* Label5;
    controls::TwwDBGrid* wwDBGrid1;
    controls::TwwDBNavigator* nav;
};

} // namespace test

namespace {

// What the page shows at the moment DataSource1 attaches or detaches the controls.
class StepWitness : public data::TDataLink {
public:
    explicit StepWitness(browser::BrowserPage& page) : page_(page) {
        setDataSource(&page.DataSource1);
    }
    QStringList seen;

protected:
    void activeChanged() override {
        const test::BrowserControls ui(page_);
        const QColor colour = ui.Label5->palette().color(QPalette::WindowText);
        seen << QStringLiteral("%1 %2 %3 buttons:%4 grid:%5 autoEdit:%6")
                    .arg(active() ? "attached" : "detached", ui.Label5->text(),
                         colour == QColor(0, 128, 128) ? "teal"
                         : colour == QColor(255, 0, 0) ? "red"
                                                       : colour.name(),
                         ui.nav->button(NavButtonStyle::Insert).isHidden() ? "hidden" : "shown",
                         ui.wwDBGrid1->readOnly() ? "read-only" : "editable",
                         page_.DataSource1.autoEdit() ? "on" : "off");
    }

private:
    browser::BrowserPage& page_;
};

struct PageFixture {
    QTemporaryDir scratch;
    QString file = test::copySample(scratch, QStringLiteral("application/application.mdb"));
    data::TADOConnection connection{"ADOConnection1"};
    test::ScriptedConfirmations confirmations;
    QStringList errors;
    std::unique_ptr<browser::BrowserPage> page;

    PageFixture() {
        if (file.isEmpty()) return;
        connection.setConnectionString(test::openString(file));
        connection.setLoginPrompt(false);
        page = std::make_unique<browser::BrowserPage>(browser::BrowserPage::Services{
            connection, confirmations, [this](const std::exception& error) {
                errors << QString::fromStdString(error.what());
            }});
        controls::fillComboList(*ui().dbtabs, connection.tableNames());
        page->show();
    }
    bool ready() const { return !file.isEmpty(); }
    test::BrowserControls ui() { return test::BrowserControls(*page); }
    data::TADOQuery& query() { return page->ADOQuery1; }
    QString sql() { return QString::fromStdString(query().sql()); }
    bool shown() {
        page->activateWindow();
        return QTest::qWaitForWindowActive(page.get());
    }
    // Types into the selector as the user does, after selecting its whole text.
    void type(const QString& text) {
        QLineEdit& line = *ui().dbtabs->lineEdit();
        line.setFocus();
        line.selectAll();
        QTest::keyClicks(&line, text);
    }
    void pick(const QString& table) {
        const int index = ui().dbtabs->findText(table);
        ui().dbtabs->setCurrentIndex(index);
        emit ui().dbtabs->activated(index);
    }
    void clickLabel() { QTest::mouseClick(ui().Label5, Qt::LeftButton); }
    // As a widget receives a double click: press, release, press, double click, release
    // (sent straight to the label, so that no timing makes more of them).
    void doubleClickLabel() {
        QWidget* label = ui().Label5;
        const QPointF at = label->rect().center();
        for (QEvent::Type type :
             {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held =
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, at, label->mapToGlobal(at), Qt::LeftButton, held,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(label, &event);
        }
    }
    QString mode() { return ui().Label5->text(); }
    bool editButtonsShown() { return !ui().nav->button(NavButtonStyle::Insert).isHidden(); }
};

} // namespace

#define REQUIRE_PAGE(f)                                                                            \
    do {                                                                                           \
        if (!(f).ready()) QSKIP("sample files not found (../shared/samples)");                     \
        QVERIFY((f).shown());                                                                      \
    } while (0)

class BrowserPageTest : public QObject {
    Q_OBJECT

private slots:
    void typingCompletesAndOpensTheTableAtEveryKey() {
        PageFixture f;
        REQUIRE_PAGE(f);
        QCOMPARE(f.ui().dbtabs->currentText(), QStringLiteral("Select Table"));
        QVERIFY(!f.query().active());
        f.type(QStringLiteral("ord"));
        // "ord" completes to the first entry beginning with it, in any case, and opens it.
        QCOMPARE(f.ui().dbtabs->currentText(), QStringLiteral("Order Details"));
        QCOMPARE(f.ui().dbtabs->lineEdit()->selectedText(), QStringLiteral("er Details"));
        QCOMPARE(f.sql(), QStringLiteral("select * from [Order Details]"));
        QTest::keyClicks(f.ui().dbtabs->lineEdit(), "ers");
        QCOMPARE(f.ui().dbtabs->currentText(), QStringLiteral("Orders"));
        QCOMPARE(f.sql(), QStringLiteral("select * from [Orders]"));
        QVERIFY(f.query().active());
        QCOMPARE(f.query().recNo(), 1);
        QCOMPARE(f.ui().wwDBGrid1->model()->columnCount(), 14);
        QVERIFY(f.errors.isEmpty());

        // A partly typed name that matches nothing runs the open too, and fails.
        f.type(QStringLiteral("Ordx"));
        QVERIFY(!f.errors.isEmpty());
        QVERIFY(!f.query().active());
        QCOMPARE(f.ui().wwDBGrid1->model()->rowCount(), 0);
    }

    void pickingOpensAgainAndTextFromCodeOpensNothing() {
        PageFixture f;
        REQUIRE_PAGE(f);
        f.pick(QStringLiteral("Shippers"));
        QVERIFY(f.query().active());
        f.query().last();
        f.pick(QStringLiteral("Shippers"));
        QCOMPARE(f.query().recNo(), 1);
        f.ui().dbtabs->setEditText(QStringLiteral("Orders"));
        QCOMPARE(f.sql(), QStringLiteral("select * from [Shippers]"));
        // TabSheet2Exit: the text only; the query stays open.
        f.page->TabSheet2Exit();
        QCOMPARE(f.ui().dbtabs->currentText(), QStringLiteral("Select Table"));
        QVERIFY(f.query().active());
    }

    void titleClicksSortWithoutTouchingTheMode() {
        PageFixture f;
        REQUIRE_PAGE(f);
        f.pick(QStringLiteral("Orders"));
        f.clickLabel();
        QCOMPARE(f.mode(), QStringLiteral("Edit"));
        emit f.ui().wwDBGrid1->titleButtonClick(QStringLiteral("ShipCountry"));
        QCOMPARE(f.sql(), QStringLiteral("select * from [Orders] order by ShipCountry"));
        QCOMPARE(f.query().recNo(), 1);
        QCOMPARE(f.query().fieldByName("ShipCountry").asString(), std::string("Argentina"));
        QCOMPARE(f.mode(), QStringLiteral("Edit"));
        QVERIFY(!f.ui().wwDBGrid1->readOnly());
        // Picking the table again drops the order and returns to View.
        f.pick(QStringLiteral("Orders"));
        QCOMPARE(f.sql(), QStringLiteral("select * from [Orders]"));
        QCOMPARE(f.mode(), QStringLiteral("View"));
        QVERIFY(f.errors.isEmpty());
    }

    void failuresLeaveTheQueryClosedAndTheModeAsItWas() {
        PageFixture f;
        REQUIRE_PAGE(f);
        f.pick(QStringLiteral("Order Details"));
        f.clickLabel();
        // A field name that needs brackets cannot be sorted by; the query is left closed.
        f.ui().dbtabs->setEditText(QStringLiteral("Order Details"));
        emit f.ui().wwDBGrid1->titleButtonClick(QStringLiteral("Unit Price"));
        QCOMPARE(f.errors.size(), 1);
        QVERIFY(!f.query().active());
        // "Select Table" is no table: the open fails and Edit mode stays.
        f.page->TabSheet2Exit();
        emit f.ui().wwDBGrid1->titleButtonClick(QStringLiteral("OrderID"));
        QCOMPARE(f.errors.size(), 2);
        f.type(QStringLiteral("No such table"));
        QVERIFY(f.errors.size() > 2);
        QVERIFY(!f.query().active());
        QCOMPARE(f.mode(), QStringLiteral("Edit"));
        QVERIFY(f.page->DataSource1.enabled());
        QVERIFY(!f.ui().wwDBGrid1->readOnly());
    }

    void theLabelTogglesOncePerClickAndOncePerDoubleClick() {
        PageFixture f;
        REQUIRE_PAGE(f);
        // Before any table: caption, colour and buttons toggle; the buttons stay disabled.
        f.clickLabel();
        QCOMPARE(f.mode(), QStringLiteral("Edit"));
        QVERIFY(f.editButtonsShown());
        QVERIFY(!f.ui().nav->button(NavButtonStyle::Insert).isEnabled());
        f.doubleClickLabel();
        QCOMPARE(f.mode(), QStringLiteral("View"));
        QVERIFY(!f.editButtonsShown());
        f.clickLabel();
        f.clickLabel();
        QCOMPARE(f.mode(), QStringLiteral("View"));
        QCOMPARE(f.ui().Label5->font().pixelSize(), 32);
    }

    void theResetsRunTheirStepsInOrder() {
        PageFixture f;
        REQUIRE_PAGE(f);
        f.pick(QStringLiteral("Shippers"));
        StepWitness witness(*f.page);

        f.clickLabel(); // the Edit switch
        f.clickLabel(); // the full View reset
        f.clickLabel();
        f.page->pageChangeViewReset();
        f.page->editSwitch();
        f.page->creatorExitViewReset();
        const QStringList expected{
            "attached View teal buttons:hidden grid:read-only autoEdit:off",
            "detached View teal buttons:hidden grid:read-only autoEdit:off",
            "attached Edit red buttons:shown grid:read-only autoEdit:on",
            "detached Edit teal buttons:shown grid:editable autoEdit:on",
            "attached View teal buttons:hidden grid:editable autoEdit:off",
            "detached View teal buttons:hidden grid:read-only autoEdit:off",
            "attached Edit red buttons:shown grid:read-only autoEdit:on",
            "detached Edit teal buttons:shown grid:editable autoEdit:on",
            "attached Edit red buttons:shown grid:editable autoEdit:on",
            "detached Edit teal buttons:shown grid:editable autoEdit:on",
        };
        QCOMPARE(witness.seen, expected);
        // The page-change reset left the grid editable; the Creator-exit one made it read-only.
        QVERIFY(f.ui().wwDBGrid1->readOnly());
        QVERIFY(!f.page->DataSource1.enabled());
        QVERIFY(f.query().active());
        QCOMPARE(f.ui().wwDBGrid1->model()->rowCount(), 0);
        QCOMPARE(f.mode(), QStringLiteral("View"));
    }

    void switchingToViewNeitherPostsNorCancels() {
        PageFixture f;
        REQUIRE_PAGE(f);
        f.pick(QStringLiteral("Shippers"));
        f.clickLabel();
        f.query().edit();
        f.query().field(2).setAsString("(503) 555-1234");
        f.clickLabel();
        QCOMPARE(f.mode(), QStringLiteral("View"));
        QCOMPARE(f.query().state(), data::DataSetState::Edit);
        QVERIFY(f.ui().nav->button(NavButtonStyle::Cancel).isEnabled());
        QVERIFY(f.ui().nav->button(NavButtonStyle::Post).isHidden());
        QTest::mouseClick(&f.ui().nav->button(NavButtonStyle::Cancel), Qt::LeftButton);
        QCOMPARE(f.query().state(), data::DataSetState::Browse);
    }
};

QTEST_MAIN(BrowserPageTest)
#include "BrowserPageTest.moc"
