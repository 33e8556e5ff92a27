// The navigator's filter dialog on a copy of the order-entry sample: filtering Orders by a
// customer and a date range through the window and showing every record again, input that
// keeps the window open, the information and error texts, and the criteria forgotten when the
// browser opens a table or switches mode.
#include "ControlsFixture.h"
#include "browser/BrowserPage.h"
#include "controls/ComboList.h"
#include "controls/FilterDateEdit.h"
#include "controls/TwwFilterDialog.h"
#include "controls/TwwFilterDlg.h"
#include "data/TCustomADODataSet.h"
#include "ui_TwwFilterDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTimer>

#include <functional>

using controls::NavButtonStyle;
using controls::TwwFilterDlg;
using test::ControlsFixture;

namespace {

// Runs the steps on the filter window from inside its modal loop, once it shows; whatever
// they leave open is closed with Cancel.
void whenShown(std::function<void(TwwFilterDlg&)> steps) {
    QTimer::singleShot(0, [steps] {
        auto* window = qobject_cast<TwwFilterDlg*>(QApplication::activeModalWidget());
        if (!window) return;
        steps(*window);
        if (window->isVisible()) window->reject();
    });
}

// The text of the information box the next step opens; the box is closed with OK.
void answerInformation(QString& text) {
    QTimer::singleShot(0, [&text] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->accept();
        }
    });
}

void selectField(TwwFilterDlg& window, const QString& label) {
    QListWidget& list = *window.ui().FieldsListBox;
    const QList<QListWidgetItem*> found = list.findItems(label, Qt::MatchExactly);
    if (!found.isEmpty()) list.setCurrentItem(found.front());
}

void typeInto(QLineEdit& input, const QString& text) {
    input.setFocus();
    input.selectAll();
    QTest::keyClicks(&input, text);
}

void clickOk(TwwFilterDlg& window) {
    QTest::mouseClick(window.ui().OKButton, Qt::LeftButton);
}

QString orderId(data::TCustomADODataSet& ds) {
    return QString::fromStdString(ds.fieldByName("OrderID").asString());
}

} // namespace

class FilterDialogTest : public QObject {
    Q_OBJECT

private slots:
    void filtersByCustomerAndDateRangeThenShowsEveryRecordAgain() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Orders] order by OrderID");
        const int all = f.count("Orders");

        bool okAtOpening = true;
        QString page;
        whenShown([&](TwwFilterDlg& window) {
            okAtOpening = window.ui().OKButton->isEnabled();
            selectField(window, QStringLiteral("CustomerID"));
            page = window.ui().SelectNotebook->currentWidget()->objectName();
            typeInto(*window.ui().FilterValueEdit, QStringLiteral("wilmk"));
            clickOk(window);
        });
        f.press(NavButtonStyle::FilterDialog);
        QVERIFY(!okAtOpening);
        QCOMPARE(page, QStringLiteral("ValuePage"));
        QVERIFY(f.query.filtered());
        QCOMPARE(f.query.recordCount(), 8);
        f.query.first();
        QCOMPARE(orderId(f.query), QStringLiteral("10248"));

        // Opened again: the searched field with its value; then a date range on the same list.
        QString shownField, shownValue, rangePage;
        int tab = -1;
        bool pickers = false;
        whenShown([&](TwwFilterDlg& window) {
            tab = window.ui().FieldTabSet->currentIndex();
            shownField = window.currentField();
            shownValue = window.ui().FilterValueEdit->text();
            window.ui().FieldTabSet->setCurrentIndex(0);
            selectField(window, QStringLiteral("OrderDate"));
            rangePage = window.ui().SelectNotebook->currentWidget()->objectName();
            pickers =
                window.ui().MinDateEdit->isVisible() && !window.ui().MinValueEdit->isVisible();
            typeInto(*window.ui().MinDateEdit, QStringLiteral("7/1/1997"));
            typeInto(*window.ui().MaxDateEdit, QStringLiteral("9/18/1997"));
            clickOk(window);
        });
        f.press(NavButtonStyle::FilterDialog);
        QCOMPARE(tab, 1);
        QCOMPARE(shownField, QStringLiteral("CustomerID"));
        QCOMPARE(shownValue, QStringLiteral("wilmk"));
        QCOMPARE(rangePage, QStringLiteral("RangePage"));
        QVERIFY(pickers);
        auto& dialog =
            *qobject_cast<controls::TwwFilterDialog*>(f.nav->dialog(controls::NavDialog::Filter));
        QCOMPARE(dialog.criteria().size(), std::size_t{2});
        QCOMPARE(f.query.recordCount(), 2);
        f.query.last();
        QCOMPARE(orderId(f.query), QStringLiteral("10673")); // placed on the end day

        // New Search and OK: every record again, filtering off.
        whenShown([&](TwwFilterDlg& window) {
            QTest::mouseClick(window.ui().ClearSearchButton, Qt::LeftButton);
            clickOk(window);
        });
        f.press(NavButtonStyle::FilterDialog);
        QVERIFY(dialog.criteria().empty());
        QVERIFY(!f.query.filtered());
        QCOMPARE(f.query.recordCount(), all);
        QVERIFY(f.errors.isEmpty());
    }

    void wrongInputKeepsTheWindowOpen() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Orders]");
        QString searchedWithout, summaryWithout;
        int tabAfter = -1;
        bool openAfterLetter = false, openAfterBound = false;
        QWidget* focusAfterLetter = nullptr;
        QWidget* valueEdit = nullptr;
        whenShown([&](TwwFilterDlg& window) {
            answerInformation(searchedWithout);
            window.ui().FieldTabSet->setCurrentIndex(1);
            tabAfter = window.ui().FieldTabSet->currentIndex();
            answerInformation(summaryWithout);
            QTest::mouseClick(window.ui().ViewButton, Qt::LeftButton);

            selectField(window, QStringLiteral("EmployeeID"));
            window.ui().SelectNotebook->setCurrentWidget(window.ui().ValuePage);
            typeInto(*window.ui().FilterValueEdit, QStringLiteral("5 or x"));
            clickOk(window);
            openAfterLetter = window.isVisible();
            focusAfterLetter = window.focusWidget();
            valueEdit = window.ui().FilterValueEdit;
            // Nor can another field be chosen while it stays.
            selectField(window, QStringLiteral("ShipName"));
            QCOMPARE(window.currentField(), QStringLiteral("EmployeeID"));

            window.ui().FilterValueEdit->clear();
            window.ui().SelectNotebook->setCurrentWidget(window.ui().RangePage);
            typeInto(*window.ui().MaxValueEdit, QStringLiteral("1.5"));
            clickOk(window);
            openAfterBound = window.isVisible();
        });
        f.press(NavButtonStyle::FilterDialog);
        QCOMPARE(searchedWithout, QStringLiteral("You have not selected any search criteria"));
        QCOMPARE(summaryWithout, searchedWithout);
        QCOMPARE(tabAfter, 0);
        QVERIFY(openAfterLetter);
        QCOMPARE(focusAfterLetter, valueEdit);
        QVERIFY(openAfterBound);
        QVERIFY(!f.query.filtered());
    }

    void keysMoveThroughTheFieldsAndDeleteCriteria() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Orders]");
        QStringList seen;
        whenShown([&](TwwFilterDlg& window) {
            // OrderID first, on the range page; Down stores its bound and moves on.
            typeInto(*window.ui().MinValueEdit, QStringLiteral("10300"));
            QTest::keyClick(window.ui().MinValueEdit, Qt::Key_Down);
            seen << window.currentField();
            typeInto(*window.ui().FilterValueEdit, QStringLiteral("b"));
            QTest::keyClick(window.ui().FilterValueEdit, Qt::Key_Up);
            seen << window.currentField();
            window.ui().FieldTabSet->setCurrentIndex(1);
            seen << QString::number(window.ui().FieldsListBox->count());
            QTest::keyClick(window.ui().FieldsListBox, Qt::Key_Delete);
            seen << QString::number(window.ui().FieldsListBox->count())
                 << QString::number(window.criteria().size());
            QTest::keyClick(window.ui().FieldsListBox, Qt::Key_Delete);
            seen << QString::number(window.ui().FieldTabSet->currentIndex());
            // Sorted by label, the shown field stays selected.
            selectField(window, QStringLiteral("OrderDate"));
            QTest::mouseClick(window.ui().FieldOrderAlphabetic, Qt::LeftButton);
            seen << window.ui().FieldsListBox->item(0)->text()
                 << window.ui().FieldsListBox->currentItem()->text();
        });
        f.press(NavButtonStyle::FilterDialog);
        QCOMPARE(seen, QStringList({"CustomerID", "OrderID", "2", "1", "1", "0", "CustomerID",
                                    "OrderDate"}));
    }

    void aClosedDataSetCannotBeFiltered() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        controls::TwwFilterDialog dialog(&f.source);
        QString error;
        try {
            dialog.execute();
        } catch (const std::exception& e) {
            error = QString::fromStdString(e.what());
        }
        QCOMPARE(error, QStringLiteral("Dataset must be active to perform local filtering "
                                       "(FilterMethod=fdByFilter)."));
    }

    void criteriaAreForgottenOnTableOpenAndModeSwitch() {
        QTemporaryDir scratch;
        const QString file =
            test::copySample(scratch, QStringLiteral("application/application.mdb"));
        if (file.isEmpty()) QSKIP("sample files not found (../shared/samples)");
        data::TADOConnection connection{"ADOConnection1"};
        connection.setConnectionString(test::openString(file));
        connection.setLoginPrompt(false);
        test::ScriptedConfirmations confirmations;
        QStringList errors;
        browser::BrowserPage page(browser::BrowserPage::Services{
            connection, confirmations,
            [&errors](const std::exception& e) { errors << QString::fromStdString(e.what()); }});
        QComboBox& dbtabs = page.tableSelector();
        controls::fillComboList(dbtabs, connection.tableNames());
        page.show();
        auto open = [&](const QString& table) {
            dbtabs.setCurrentIndex(dbtabs.findText(table));
            page.dbtabsChange();
        };
        auto& nav = *page.findChild<controls::TwwDBNavigator*>(QStringLiteral("nav"));
        auto filterByCustomer = [&] {
            whenShown([](TwwFilterDlg& window) {
                selectField(window, QStringLiteral("CustomerID"));
                typeInto(*window.ui().FilterValueEdit, QStringLiteral("WILMK"));
                clickOk(window);
            });
            QTest::mouseClick(&nav.button(NavButtonStyle::FilterDialog), Qt::LeftButton);
        };
        data::TADOQuery& query = page.ADOQuery1;
        open(QStringLiteral("Orders"));
        const int all = query.recordCount();
        filterByCustomer();
        QCOMPARE(query.recordCount(), 8);
        auto& dialog =
            *qobject_cast<controls::TwwFilterDialog*>(nav.dialog(controls::NavDialog::Filter));

        // The Edit switch: the records read stay until the data set is read again.
        page.Label5Click();
        QVERIFY(dialog.criteria().empty());
        QCOMPARE(query.recordCount(), 8);
        query.refresh();
        QCOMPARE(query.recordCount(), all);

        filterByCustomer();
        QCOMPARE(query.recordCount(), 8);
        open(QStringLiteral("Shippers"));
        QVERIFY(dialog.criteria().empty());
        QCOMPARE(query.recordCount(), 3);
        open(QStringLiteral("Orders"));
        QCOMPARE(query.recordCount(), all);
        QVERIFY(errors.isEmpty());
    }
};

QTEST_MAIN(FilterDialogTest)
#include "FilterDialogTest.moc"
