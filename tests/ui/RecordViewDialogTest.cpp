// The record view dialog on a copy of the order-entry sample, opened from the navigator: the
// control and size of each field kind, OK posting, Cancel's three answers, a failing post
// keeping the record in edit state, and the warnings without an open data set.
#include "ControlsFixture.h"
#include "ScriptedDialogBoxes.h"
#include "controls/RecordFieldEditor.h"
#include "controls/TwwRecordViewDialog.h"
#include "controls/TwwRecordViewForm.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <functional>

using controls::NavButtonStyle;
using controls::SaveAnswer;
using controls::TwwRecordViewDialog;
using controls::TwwRecordViewForm;

class RecordViewDialogTest : public QObject {
    Q_OBJECT

    // Opens the dialog with the navigator's button and lets `drive` work the window; a
    // window the drive leaves open is closed as with Cancel, answering No.
    static void openRecordView(test::ControlsFixture& f, test::ScriptedDialogBoxes& boxes,
                               const std::function<void(TwwRecordViewForm&)>& drive) {
        TwwRecordViewDialog& dialog = TwwRecordViewDialog::of(*f.nav);
        dialog.setBoxes(&boxes);
        dialog.setOnShow([drive, &boxes](TwwRecordViewForm& window) {
            drive(window);
            if (window.isVisible()) {
                boxes.answers.push_back(SaveAnswer::No);
                window.reject();
            }
        });
        f.press(NavButtonStyle::RecordViewDialog);
    }
    static QWidget& control(TwwRecordViewForm& window, const char* field) {
        return window.editor(QString::fromLatin1(field))->control();
    }
    static void type(TwwRecordViewForm& window, const char* field, const QString& text) {
        QWidget& edit = control(window, field);
        edit.setFocus();
        QTest::keyClick(&edit, Qt::Key_End);
        QTest::keyClicks(&edit, text);
    }
    static QString stored(test::ControlsFixture& f, const std::string& select) {
        data::TADOQuery reader("Reader");
        reader.setConnection(&f.connection);
        reader.setSQL(select);
        reader.open();
        return QString::fromStdString(reader.field(0).asString());
    }

private slots:
    void eachFieldKindGetsItsControl() {
        test::ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        test::ScriptedDialogBoxes boxes;
        f.open("select EmployeeID, LastName, BirthDate, Notes, true as Flag from Employees "
               "order by EmployeeID");
        openRecordView(f, boxes, [](TwwRecordViewForm& window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Record View"));
            const QFontMetrics metrics(window.font());
            const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
            auto* name = qobject_cast<QLineEdit*>(&control(window, "LastName"));
            QVERIFY(name);
            QCOMPARE(name->maxLength(), 20);
            QCOMPARE(name->width(), digit * 21 + 3);
            QCOMPARE(name->text(), QStringLiteral("Davolio"));
            QVERIFY(qobject_cast<QDateTimeEdit*>(&control(window, "BirthDate")));
            auto* notes = qobject_cast<QPlainTextEdit*>(&control(window, "Notes"));
            QVERIFY(notes);
            QCOMPARE(notes->height(), metrics.height() * 2 + 8);
            // The memo takes the width the window leaves.
            QCOMPARE(notes->geometry().right() + 1 + 5, window.scrollBox().viewport()->width());
            // An expression is read-only: disabled and skipped by Tab.
            auto* flag = qobject_cast<QCheckBox*>(&control(window, "Flag"));
            QVERIFY(flag);
            QCOMPARE(flag->width(), 17);
            QVERIFY(flag->isChecked());
            QVERIFY(!flag->isEnabled());
            // Labels right-aligned in one column, controls after it.
            QLabel* label = window.label(QStringLiteral("LastName"));
            QCOMPARE(label->geometry().right() + 1, 5 + window.labelColumnWidth());
            QCOMPARE(name->x(), 5 + window.labelColumnWidth() + 5);
            QVERIFY(label->alignment().testFlag(Qt::AlignRight));
            // The dialog's navigator moves the grid's data set.
            QTest::mouseClick(&window.navigator().button(NavButtonStyle::Next), Qt::LeftButton);
            QCOMPARE(name->text(), QStringLiteral("Fuller"));
            QVERIFY(window.navigator().button(NavButtonStyle::Next).isVisible());
            QVERIFY(window.navigator().button(NavButtonStyle::LocateDialog).isHidden());
            // No changes: Cancel closes without a question.
            window.cancelButton().click();
            QVERIFY(!window.isVisible());
        });
        QCOMPARE(f.query.recNo(), 2);
        QVERIFY(boxes.shown.isEmpty());

        // An OLE object is shown in an image control across the whole width.
        f.query.close();
        f.open("select CategoryName, Picture from Categories");
        openRecordView(f, boxes, [](TwwRecordViewForm& window) {
            auto* picture = qobject_cast<QLabel*>(&control(window, "Picture"));
            QVERIFY(picture);
            QCOMPARE(picture->geometry().right() + 1 + 5, window.scrollBox().viewport()->width());
        });
    }

    void okPostsAndCancelAsksBeforeChangesAreLost() {
        test::ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        test::ScriptedDialogBoxes boxes;
        f.editable();
        f.open("select * from Customers order by CustomerID");
        const std::string city = "select City from Customers where CustomerID = 'ALFKI'";
        const QString ask =
            QStringLiteral("ask: Changes have been made!  Do you wish to save your changes?");
        // OK posts what was typed.
        openRecordView(f, boxes, [](TwwRecordViewForm& window) {
            type(window, "City", QStringLiteral("-Mitte"));
            window.okButton().click();
            QVERIFY(!window.isVisible());
        });
        QCOMPARE(stored(f, city), QStringLiteral("Berlin-Mitte"));
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        // Cancel: the question; Cancel keeps the window, No throws the typing away.
        openRecordView(f, boxes, [&](TwwRecordViewForm& window) {
            type(window, "City", QStringLiteral("X"));
            window.cancelButton().click();
            QVERIFY(window.isVisible());
            QCOMPARE(f.query.state(), data::DataSetState::Edit);
            boxes.answers.push_back(SaveAnswer::No);
            window.cancelButton().click();
            QVERIFY(!window.isVisible());
        });
        QCOMPARE(boxes.shown, QStringList({ask, ask}));
        QCOMPARE(stored(f, city), QStringLiteral("Berlin-Mitte"));
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        // Yes posts.
        boxes.answers.push_back(SaveAnswer::Yes);
        openRecordView(f, boxes, [](TwwRecordViewForm& window) {
            type(window, "City", QStringLiteral("!"));
            QTest::keyClick(&control(window, "City"), Qt::Key_Escape); // takes the typing back
            type(window, "City", QStringLiteral("2"));
            window.reject();
            QVERIFY(!window.isVisible());
        });
        QCOMPARE(stored(f, city), QStringLiteral("Berlin-Mitte2"));
        QVERIFY(f.errors.isEmpty());
    }

    void moreFieldsThanFitOpenAtTheWorkAreasHeightAndScroll() {
        test::ControlsFixture f(QStringLiteral("types.mdb"));
        REQUIRE_CONTROLS_FIXTURE(f);
        test::ScriptedDialogBoxes boxes;
        f.open("select * from Table2");
        QCOMPARE(f.query.fieldCount(), std::size_t{89});
        openRecordView(f, boxes, [](TwwRecordViewForm& window) {
            const QRect area = window.screen()->availableGeometry();
            QCOMPARE(window.height(), area.height() - 12);
            const QScrollBar& rows = *window.scrollBox().verticalScrollBar();
            QVERIFY(!rows.isHidden());
            QVERIFY(rows.maximum() > 0);
            QVERIFY(window.width() <= area.width());
            // OK and Cancel stay right-aligned.
            QCOMPARE(window.cancelButton().geometry().right() + 1, window.width() - 23);
        });
    }

    void aFailingPostKeepsTheRecordInEditState() {
        test::ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        test::ScriptedDialogBoxes boxes;
        f.editable();
        f.open("select * from Customers order by CustomerID");
        openRecordView(f, boxes, [&](TwwRecordViewForm& window) {
            auto* id = qobject_cast<QLineEdit*>(&control(window, "CustomerID"));
            QCOMPARE(id->maxLength(), 5);
            id->setFocus();
            id->selectAll();
            // Another customer's key: the unique index refuses it.
            QTest::keyClicks(id, QStringLiteral("ANATR"));
            QTest::keyClick(id, Qt::Key_Return, Qt::ControlModifier);
            QVERIFY(window.isVisible());
            QCOMPARE(f.errors.size(), 1);
            QCOMPARE(f.query.state(), data::DataSetState::Edit);
        });
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        QCOMPARE(stored(f, "select count(*) from Customers where CustomerID = 'ALFKI'"),
                 QStringLiteral("1"));
        // Without an open data set: the warning, no window.
        f.query.close();
        QVERIFY(!TwwRecordViewDialog::of(*f.nav).execute());
        QCOMPARE(boxes.shown.last(), QStringLiteral("warning: DataSet must be active."));
    }
};

QTEST_MAIN(RecordViewDialogTest)
#include "RecordViewDialogTest.moc"
