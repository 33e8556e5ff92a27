// The locate dialog on a copy of the order-entry sample, opened from the navigator: First
// and Next in the match kinds, the messages when nothing (more) matches, numbers compared by
// value or as text, the field list, and the settings offered again at the next opening.
#include "ControlsFixture.h"
#include "ScriptedDialogBoxes.h"
#include "controls/TwwLocateDialog.h"
#include "controls/TwwLocateDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

using controls::NavButtonStyle;
using controls::TwwLocateDialog;
using controls::TwwLocateDlg;

class LocateDialogTest : public QObject {
    Q_OBJECT

    // Opens the dialog with the navigator's button and lets `drive` work the window; a
    // window the drive leaves open is closed with its close button.
    static void openLocate(test::ControlsFixture& f, test::ScriptedDialogBoxes& boxes,
                           const std::function<void(TwwLocateDlg&)>& drive) {
        TwwLocateDialog& dialog = TwwLocateDialog::of(*f.nav);
        dialog.setBoxes(&boxes);
        dialog.setOnShow([drive](TwwLocateDlg& window) {
            drive(window);
            if (window.isVisible()) window.closeButton().click();
        });
        f.press(NavButtonStyle::LocateDialog);
    }
    static void fill(TwwLocateDlg& window, const QString& field, const QString& value,
                     const char* match, bool caseSensitive = false) {
        window.fieldNameComboBox().setCurrentText(field);
        window.searchValue().setText(value);
        window.findChild<QRadioButton*>(QString::fromLatin1(match))->setChecked(true);
        window.findChild<QCheckBox*>(QStringLiteral("CaseSensitiveCheckBox"))
            ->setChecked(caseSensitive);
    }
    static QString current(test::ControlsFixture& f, const char* field) {
        return QString::fromStdString(f.query.fieldByName(field).asString());
    }

private slots:
    void firstFindsAPartialMatchInAnyCaseAndCloses() {
        test::ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        test::ScriptedDialogBoxes boxes;
        f.open("select * from Customers order by CustomerID");
        f.nav->setDialogFactory({});
        bool closedOnMatch = false;
        openLocate(f, boxes, [&](TwwLocateDlg& window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Locate Field Value"));
            QCOMPARE(window.size(), QSize(212, 238));
            QVERIFY(window.nextButton().isDefault());
            QCOMPARE(window.closeButton().text(), QStringLiteral("Cancel"));
            fill(window, QStringLiteral("CompanyName"), QStringLiteral("bLO"),
                 "PartialMatchStartBtn");
            window.firstButton().click();
            closedOnMatch = !window.isVisible() && window.result() == QDialog::Accepted;
        });
        QVERIFY(closedOnMatch);
        QCOMPARE(current(f, "CompanyName"), QString::fromUtf8("Blondel p\xc3\xa8re et fils"));
        QVERIFY(boxes.shown.isEmpty());
        // The grid follows the data set to the found record.
        QCOMPARE(f.grid->currentIndex().row(), f.query.recNo() - 1);

        // Next from the last match: nothing more, and the position stays.
        f.query.last();
        const int last = f.query.recNo();
        openLocate(f, boxes, [&](TwwLocateDlg& window) {
            QCOMPARE(window.searchValue().text(), QStringLiteral("bLO"));
            window.nextButton().click();
            QVERIFY(window.isVisible());
            window.firstButton().click();
        });
        QCOMPARE(boxes.shown, QStringList({"information: No more matches found"}));
        QCOMPARE(current(f, "CompanyName"), QString::fromUtf8("Blondel p\xc3\xa8re et fils"));
        QVERIFY(last > f.query.recNo());
        QVERIFY(f.errors.isEmpty());
    }

    void numbersByValueWholeNumbersAsTextAndNothingFound() {
        test::ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        test::ScriptedDialogBoxes boxes;
        f.open("select * from Products order by ProductID");
        // Next, exact: the money 12.50 finds 12.5.
        openLocate(f, boxes, [](TwwLocateDlg& window) {
            fill(window, QStringLiteral("UnitPrice"), QStringLiteral("12.50"), "ExactMatchBtn");
            window.nextButton().click();
        });
        QCOMPARE(current(f, "ProductID"), QStringLiteral("31"));
        // Next, exact: 007 is not the text of 7; First hands it to the data set's locate,
        // which reads it as the number 7.
        f.query.first();
        openLocate(f, boxes, [](TwwLocateDlg& window) {
            fill(window, QStringLiteral("ProductID"), QStringLiteral("007"), "ExactMatchBtn");
            window.nextButton().click();
            QVERIFY(window.isVisible());
            window.firstButton().click();
        });
        QCOMPARE(boxes.shown, QStringList({"information: No more matches found"}));
        QCOMPARE(current(f, "ProductID"), QStringLiteral("7"));
        // Anywhere scans from the first record; nothing found stays put.
        openLocate(f, boxes, [](TwwLocateDlg& window) {
            fill(window, QStringLiteral("ProductName"), QStringLiteral("LONGBREAD"),
                 "PartialMatchAnyBtn");
            window.firstButton().click();
        });
        QCOMPARE(current(f, "ProductID"), QStringLiteral("68"));
        openLocate(f, boxes, [](TwwLocateDlg& window) {
            fill(window, QStringLiteral("ProductName"), QStringLiteral("LONGBREAD"),
                 "PartialMatchAnyBtn", true);
            window.firstButton().click();
            fill(window, QStringLiteral("ProductName"), QString(), "PartialMatchStartBtn");
            window.firstButton().click();
        });
        QCOMPARE(boxes.shown.mid(1),
                 QStringList({"information: No matches found", "information: No matches found"}));
        QCOMPARE(current(f, "ProductID"), QStringLiteral("68"));
        QVERIFY(f.errors.isEmpty());
    }

    void theFieldListAndTheSettingsOfferedAgain() {
        test::ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        test::ScriptedDialogBoxes boxes;
        f.open("select * from Categories");
        QStringList offered;
        openLocate(f, boxes, [&](TwwLocateDlg& window) {
            QCOMPARE(window.fieldNameComboBox().currentIndex(), -1);
            for (int i = 0; i < window.fieldNameComboBox().count(); ++i)
                offered << window.fieldNameComboBox().itemText(i);
            fill(window, QStringLiteral("Description"), QStringLiteral("x"), "ExactMatchBtn", true);
            // Changing the field clears the value typed before.
            window.fieldNameComboBox().setCurrentText(QStringLiteral("CategoryName"));
            QCOMPARE(window.searchValue().text(), QString());
            window.searchValue().setText(QStringLiteral("Seafood"));
        });
        // Sorted by label, the picture (an OLE object) left out.
        QCOMPARE(offered, QStringList({"CategoryID", "CategoryName", "Description"}));
        // Another table in the same data set: the settings stay, the value too, when the
        // field is there; a field the table lacks is not preselected.
        f.query.close();
        f.open("select CategoryName, CategoryID from Categories");
        openLocate(f, boxes, [](TwwLocateDlg& window) {
            QCOMPARE(window.fieldNameComboBox().currentText(), QStringLiteral("CategoryName"));
            QCOMPARE(window.searchValue().text(), QStringLiteral("Seafood"));
            QVERIFY(window.findChild<QRadioButton*>(QStringLiteral("ExactMatchBtn"))->isChecked());
            QVERIFY(
                window.findChild<QCheckBox*>(QStringLiteral("CaseSensitiveCheckBox"))->isChecked());
            window.firstButton().click();
        });
        QCOMPARE(current(f, "CategoryName"), QStringLiteral("Seafood"));
        f.query.close();
        f.open("select ProductName from Products");
        openLocate(f, boxes, [](TwwLocateDlg& window) {
            QCOMPARE(window.fieldNameComboBox().currentIndex(), -1);
            QCOMPARE(window.searchValue().text(), QString());
        });
        // A closed data set: the error, no window.
        f.query.close();
        QVERIFY(!TwwLocateDialog::of(*f.nav).execute());
        QCOMPARE(f.errors, QStringList({"DataSource does not reference an active DataSet"}));
    }
};

QTEST_MAIN(LocateDialogTest)
#include "LocateDialogTest.moc"
