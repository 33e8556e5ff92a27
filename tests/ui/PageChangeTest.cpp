// Which changes of the current page run the page handlers: the user's do, the program's do
// not; a page's exit handler runs before BookChange.
#include "WindowHelpers.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>

using test::child;
using test::Window;

class PageChangeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }

    void init() {
        window_ = std::make_unique<Window>();
        app::TForm1& form = *window_->form;
        events_.clear();
        notices_ = std::make_unique<test::PageNotices>(form);
        notices_->changed = [this] { events_ << QStringLiteral("BookChange"); };
        // The two pages with exit handlers; the others are left without a word.
        notices_->exited = [this](window::Page page) {
            if (page == window::Page::TableCreator) events_ << QStringLiteral("TabSheet1Exit");
            if (page == window::Page::TableBrowser) events_ << QStringLiteral("TabSheet2Exit");
        };
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    void cleanup() {
        notices_.reset();
        window_.reset();
    }

    void ctrlTabWithOnlyTheDatabaseTabChangesNothing() {
        QWidget& dbname = child<QWidget>(book(), "dbname");
        dbname.setFocus();
        QTest::keyClick(&dbname, Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(&dbname, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(book().currentIndex(), 0);
        QCOMPARE(events_, QStringList());
    }

    void clickOnAnotherTabRunsBookChangeOnceAndOnTheCurrentTabNothing() {
        showAllTabs();
        clickTab(3);
        QCOMPARE(book().currentWidget()->objectName(), QStringLiteral("tsQB"));
        QCOMPARE(events_, QStringList{"BookChange"});
        clickTab(3);
        QCOMPARE(events_, QStringList{"BookChange"});
        // The page is current by the time BookChange runs.
        QString currentDuringChange;
        notices_->changed = [&] { currentDuringChange = book().currentWidget()->objectName(); };
        clickTab(4);
        QCOMPARE(currentDuringChange, QStringLiteral("TabSheet4"));
    }

    void programChangesRunNoHandler() {
        app::TForm1& form = *window_->form;
        showAllTabs();
        QLineEdit& edit = addEdit(child<QWidget>(book(), "TabSheet1"));
        form.setCurrentPage(window::Page::TableCreator);
        edit.setFocus();
        QCOMPARE(QApplication::focusWidget(), &edit);
        form.setCurrentPage(window::Page::ExecuteSql);
        form.setCurrentPage(window::Page::Database);
        test::showWorkingPages(form);
        QCOMPARE(book().currentIndex(), 0);
        QCOMPARE(events_, QStringList());
    }

    void ctrlTabStepsThroughShownTabsAndWraps() {
        app::TForm1& form = *window_->form;
        form.showPages({window::Page::QueryBuilder}); // Database and Query Builder shown
        QWidget& dbname = child<QWidget>(book(), "dbname");
        dbname.setFocus();
        QTest::keyClick(&dbname, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(book().currentWidget()->objectName(), QStringLiteral("tsQB"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(book().currentWidget()->objectName(), QStringLiteral("TabSheet3"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(book().currentWidget()->objectName(), QStringLiteral("tsQB"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(book().currentWidget()->objectName(), QStringLiteral("TabSheet3"));
        QCOMPARE(events_, QStringList(4, QStringLiteral("BookChange")));
    }

    void exitHandlerRunsBeforeBookChange_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("exitHandler");
        QTest::newRow("Table Creator") << "TabSheet1"
                                       << "TabSheet1Exit";
        QTest::newRow("Table Browser & Editor") << "TabSheet2"
                                                << "TabSheet2Exit";
    }
    void exitHandlerRunsBeforeBookChange() {
        QFETCH(QString, page);
        QFETCH(QString, exitHandler);
        app::TForm1& form = *window_->form;
        showAllTabs();
        QWidget& sheet = child<QWidget>(book(), page.toLatin1().constData());
        QLineEdit& edit = addEdit(sheet);
        form.setCurrentPage(static_cast<window::Page>(book().indexOf(&sheet)));
        edit.setFocus();

        clickTab(3);
        QCOMPARE(events_, (QStringList{exitHandler, "BookChange"}));

        events_.clear();
        form.setCurrentPage(static_cast<window::Page>(book().indexOf(&sheet)));
        edit.setFocus();
        QTest::keyClick(&edit, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(events_, (QStringList{exitHandler, "BookChange"}));
    }

    void exitHandlerRunsWhenLeavingAPageByItsTab() {
        showAllTabs();
        // Focus on the page being left moves to the new page's first control.
        child<QWidget>(book(), "dbname").setFocus();
        clickTab(1);
        QWidget& sheet = child<QWidget>(book(), "TabSheet1");
        QVERIFY(sheet.isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == &sheet);
        QCOMPARE(events_, QStringList{"BookChange"});
        clickTab(2);
        QCOMPARE(events_, (QStringList{"BookChange", "TabSheet1Exit", "BookChange"}));
    }

    void noExitHandlerWhenTheFocusIsOnTheTabs() {
        showAllTabs();
        window_->form->setCurrentPage(window::Page::TableCreator);
        book().tabBar()->setFocus();
        clickTab(2);
        clickTab(0);
        QCOMPARE(events_, (QStringList{"BookChange", "BookChange"}));
    }

    void noExitHandlerWhileTheFocusStaysOnThePageOrGoesToAnotherWindow() {
        app::TForm1& form = *window_->form;
        showAllTabs();
        QWidget& sheet = child<QWidget>(book(), "TabSheet1");
        QLineEdit& first = addEdit(sheet);
        QLineEdit& second = addEdit(sheet);
        form.setCurrentPage(static_cast<window::Page>(book().indexOf(&sheet)));
        first.setFocus();
        second.setFocus();
        QCOMPARE(QApplication::focusWidget(), &second);

        QWidget other;
        QLineEdit otherEdit(&other);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        otherEdit.setFocus();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), &second);
        QCOMPARE(events_, QStringList());
        // Coming back does not run the window's activation handler again: the page stays.
        QCOMPARE(book().currentWidget(), &sheet);
    }

    void mouseWheelOverTheTabsDoesNotTurnThem() {
        showAllTabs();
        QTabBar& tabs = *book().tabBar();
        const QPoint where = tabs.tabRect(0).center();
        QWheelEvent wheel(where, tabs.mapToGlobal(where), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&tabs, &wheel);
        QCOMPARE(book().currentIndex(), 0);
        QCOMPARE(events_, QStringList());
    }

private:
    QTabWidget& book() { return child<QTabWidget>(*window_->form, "Book"); }

    void showAllTabs() { test::showWorkingPages(*window_->form); }

    void clickTab(int index) {
        QTabBar& tabs = *book().tabBar();
        QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(index).center());
    }

    // A focusable control on a page that has none of its own yet.
    static QLineEdit& addEdit(QWidget& page) {
        auto* edit = new QLineEdit(&page);
        edit->show();
        return *edit;
    }

    std::unique_ptr<Window> window_;
    std::unique_ptr<test::PageNotices> notices_;
    QStringList events_;
};

QTEST_MAIN(PageChangeTest)
#include "PageChangeTest.moc"
