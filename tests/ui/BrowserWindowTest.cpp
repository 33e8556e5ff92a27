// The browser page inside the window, on a copy of the order-entry sample opened through the
// Database page: the page's tab, leaving it with the focus inside (the selector reset, then the
// page-change reset), leaving the Table Creator with the focus in one of its fields (its reset
// first), and a later Open on the same window.
#include "ControlsFixture.h"
#include "DatabaseHelpers.h"
#include "browser/BrowserPage.h"
#include "controls/ClickLabel.h"

#include <QTabBar>

using controls::NavButtonStyle;

namespace {

struct BrowserWindow : test::DatabaseWindow {
    QString file;

    bool openSample() {
        file = test::copySample(scratch, QStringLiteral("application/application.mdb"));
        if (file.isEmpty()) return false;
        open(file);
        return errors().empty();
    }
    browser::BrowserPage& page() { return *form->findChild<browser::BrowserPage*>(); }
    controls::TwwDBGrid& grid() { return get<controls::TwwDBGrid>("wwDBGrid1"); }
    controls::TwwDBNavigator& nav() { return get<controls::TwwDBNavigator>("nav"); }
    controls::ClickLabel& label() { return get<controls::ClickLabel>("Label5"); }
    QTabWidget& book() { return get<QTabWidget>("Book"); }
    // A click on a page's tab, as the user changes page.
    void clickTab(const char* pageName) {
        QTabBar& bar = *book().tabBar();
        const int index = book().indexOf(&get<QWidget>(pageName));
        QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.tabRect(index).center());
    }
    void pickTable(const QString& name) {
        QLineEdit& line = *dbtabs().lineEdit();
        line.setFocus();
        line.selectAll();
        QTest::keyClicks(&line, name);
    }
};

} // namespace

class BrowserWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }

    void leavingThePageWithTheFocusInItShowsSelectTableAndAnEmptyGrid() {
        BrowserWindow w;
        QVERIFY(w.show());
        if (!w.openSample()) QSKIP("sample files not found (../shared/samples)");
        w.clickTab("TabSheet2");
        // The page-change reset ran before the page was first seen.
        QCOMPARE(w.label().text(), QStringLiteral("View"));
        QVERIFY(w.nav().button(NavButtonStyle::Insert).isHidden());
        w.pickTable(QStringLiteral("Orders"));
        QCOMPARE(w.grid().model()->rowCount() > 0, true);
        QTest::mouseClick(&w.label(), Qt::LeftButton);
        QCOMPARE(w.label().text(), QStringLiteral("Edit"));
        w.grid().setFocus();

        // To the SQL console and back (the Table Creator would take the focus and make the
        // grid read-only on the way back).
        w.clickTab("TabSheet4");
        w.clickTab("TabSheet2");
        QCOMPARE(w.dbtabs().currentText(), QStringLiteral("Select Table"));
        QCOMPARE(w.label().text(), QStringLiteral("View"));
        QCOMPARE(w.grid().model()->rowCount(), 0);
        QVERIFY(!w.nav().button(NavButtonStyle::First).isEnabled());
        // The grid's read-only flag is still off; the query is still open.
        QVERIFY(!w.grid().readOnly());
        QVERIFY(w.page().ADOQuery1.active());
        // A label click shows the still-open table in Edit mode.
        QTest::mouseClick(&w.label(), Qt::LeftButton);
        QCOMPARE(w.label().text(), QStringLiteral("Edit"));
        QVERIFY(w.grid().model()->rowCount() > 0);
        QVERIFY(w.errors().empty());
    }

    void leavingTheCreatorWithTheFocusInItMakesTheGridReadOnly() {
        BrowserWindow w;
        QVERIFY(w.show());
        if (!w.openSample()) QSKIP("sample files not found (../shared/samples)");
        w.clickTab("TabSheet2");
        w.pickTable(QStringLiteral("Shippers"));
        QTest::mouseClick(&w.label(), Qt::LeftButton);
        QVERIFY(!w.grid().readOnly());
        w.clickTab("TabSheet1");
        w.get<QWidget>("table_name").setFocus();
        w.clickTab("TabSheet3");
        QVERIFY(w.grid().readOnly());
        QVERIFY(!w.page().DataSource1.enabled());
        QCOMPARE(w.label().text(), QStringLiteral("View"));

        // A later Open: the old result goes, the next pick opens on the new connection.
        w.open(w.file);
        QVERIFY(w.errors().empty());
        QVERIFY(!w.page().ADOQuery1.active());
        w.clickTab("TabSheet2");
        w.pickTable(QStringLiteral("Shippers"));
        QVERIFY(w.page().ADOQuery1.active());
        QCOMPARE(w.grid().model()->rowCount(), 3);
    }
};

QTEST_MAIN(BrowserWindowTest)
#include "BrowserWindowTest.moc"
