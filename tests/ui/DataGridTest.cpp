// The data grid on a copy of the order-entry sample: columns and titles, the record it follows,
// the key table with its append and discard rules, the confirmations, the memo window, leaving
// the grid, and copying cells.
#include "ControlsFixture.h"
#include "controls/MemoWindow.h"
#include "data/TCustomADODataSet.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using controls::ConfirmButtons;
using test::ControlsFixture;

namespace {

// Runs `act` on the next modal window once it shows (the memo window's exec waits for it).
void onNextModal(std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal) act(*modal);
    });
}

} // namespace

class DataGridTest : public QObject {
    Q_OBJECT

private slots:
    void columnsFollowTheFieldsAndTitlesReportTheirFieldName() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        QCOMPARE(f.grid->model()->columnCount(), 0);
        f.open("select * from [Shippers]");
        QCOMPARE(f.grid->model()->columnCount(), 3);
        QStringList titles;
        for (int c = 0; c < 3; ++c)
            titles << f.grid->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{"ShipperID", "CompanyName", "Phone"}));
        QCOMPARE(f.grid->model()->rowCount(), 3);
        QCOMPARE(f.cell(0, 1), QString::fromStdString(f.query.field(1).asString()));

        QSignalSpy clicks(f.grid, &controls::TwwDBGrid::titleButtonClick);
        QHeaderView* titlesRow = f.grid->horizontalHeader();
        // Columns dragged about still report their own field.
        titlesRow->moveSection(2, 0);
        const int x = titlesRow->sectionViewportPosition(1) + 5;
        QTest::mouseClick(titlesRow->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.at(0).at(0).toString(), QStringLiteral("CompanyName"));

        // A memo column shows "(Memo)"; the indicator marks only the current record.
        f.open("select * from [Categories]");
        QCOMPARE(f.cell(0, 2), QStringLiteral("(Memo)"));
        QVERIFY(!f.grid->model()->headerData(0, Qt::Vertical, Qt::DecorationRole).isNull());
        QVERIFY(f.grid->model()->headerData(1, Qt::Vertical, Qt::DecorationRole).isNull());
        f.query.close();
        QCOMPARE(f.grid->model()->rowCount(), 0);
    }

    void theGridAndTheCurrentRecordMoveTogether() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Orders]");
        f.query.moveBy(40);
        QCOMPARE(f.grid->currentIndex().row(), 40);
        f.grid->setCurrentIndex(f.grid->model()->index(3, 2));
        QCOMPARE(f.query.recNo(), 4);
        // Disabling the source detaches the grid without touching the query.
        f.source.setEnabled(false);
        QCOMPARE(f.grid->model()->rowCount(), 0);
        f.source.setEnabled(true);
        QCOMPARE(f.grid->currentIndex().row(), 3);
    }

    void movingKeys_data() {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("recNo");
        QTest::newRow("Down twice") << QStringList{"Down", "Down"} << 3;
        QTest::newRow("Down then Up") << QStringList{"Down", "Up"} << 1;
        QTest::newRow("Up at the top") << QStringList{"Up"} << 1;
        QTest::newRow("Ctrl+End") << QStringList{"Ctrl+End"} << 830;
        QTest::newRow("Ctrl+End, Ctrl+Home") << QStringList{"Ctrl+End", "Ctrl+Home"} << 1;
        QTest::newRow("Ctrl+End, Down (read-only)") << QStringList{"Ctrl+End", "Down"} << 830;
    }
    void movingKeys() {
        QFETCH(QStringList, keys);
        QFETCH(int, recNo);
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Orders]");
        for (const QString& name : keys) {
            const QKeyCombination k = QKeySequence::fromString(name)[0];
            f.key(k.key(), k.keyboardModifiers());
        }
        QCOMPARE(f.query.recNo(), recNo);
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        QCOMPARE(f.grid->currentIndex().row(), recNo - 1);
        QVERIFY(f.errors.isEmpty());
    }

    void pageKeysMoveByTheVisibleRowsAndCtrlPageKeysToTheVisibleEnds() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Orders]");
        const int visible =
            f.grid->viewport()->height() / f.grid->verticalHeader()->defaultSectionSize();
        QVERIFY(visible > 5);
        f.key(Qt::Key_PageDown);
        QCOMPARE(f.query.recNo(), 1 + visible);
        f.key(Qt::Key_PageUp);
        QCOMPARE(f.query.recNo(), 1);
        f.key(Qt::Key_PageDown, Qt::ControlModifier);
        // The last row shown whole, reached without scrolling.
        QCOMPARE(f.grid->rowAt(0), 0);
        const int row = f.query.recNo() - 1;
        const int height = f.grid->viewport()->height();
        QVERIFY(f.grid->rowViewportPosition(row) + f.grid->rowHeight(row) <= height);
        QVERIFY(f.grid->rowViewportPosition(row + 1) + f.grid->rowHeight(row + 1) > height);
        f.key(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(f.query.recNo(), f.grid->rowAt(0) + 1);
    }

    void aReadOnlyGridTakesNoTypingInsertOrDelete() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Shippers]");
        f.source.setAutoEdit(true);
        f.key(Qt::Key_X);
        f.key(Qt::Key_Insert);
        f.key(Qt::Key_Delete, Qt::ControlModifier);
        f.key(Qt::Key_End, Qt::ControlModifier);
        f.key(Qt::Key_Down);
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        QCOMPARE(f.grid->model()->rowCount(), 3);
        QVERIFY(f.confirmations.asked.empty());
        QCOMPARE(f.count("Shippers"), 3);
    }

    void downOnTheLastRecordAppendsAndUntouchedNewRecordsGo() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Shippers]");
        f.editable();
        f.key(Qt::Key_End, Qt::ControlModifier);
        f.key(Qt::Key_Down);
        QCOMPARE(f.query.state(), data::DataSetState::Insert);
        QCOMPARE(f.query.recNo(), 4);
        // Down on the untouched new last record does nothing; Up discards it.
        f.key(Qt::Key_Down);
        QCOMPARE(f.query.state(), data::DataSetState::Insert);
        QCOMPARE(f.query.recNo(), 4);
        f.key(Qt::Key_Up);
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        QCOMPARE(f.grid->model()->rowCount(), 3);
        QCOMPARE(f.query.recNo(), 3);

        // Insert before the second record, then Down: discarded, the record after is current.
        f.key(Qt::Key_Home, Qt::ControlModifier);
        f.key(Qt::Key_Down);
        const QString second = f.cell(1, 1);
        f.key(Qt::Key_Insert);
        QCOMPARE(f.query.state(), data::DataSetState::Insert);
        QCOMPARE(f.query.recNo(), 2);
        f.key(Qt::Key_Down);
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        QCOMPARE(f.query.recNo(), 2);
        QCOMPARE(QString::fromStdString(f.query.field(1).asString()), second);

        // Leaving the grid discards an untouched new record as well.
        f.key(Qt::Key_Insert);
        f.elsewhere->setFocus();
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        QCOMPARE(f.grid->model()->rowCount(), 3);
        QCOMPARE(f.count("Shippers"), 3);
        QVERIFY(f.errors.isEmpty());
    }

    void typingEditsTheRecordAndLeavingKeepsItUnposted() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Shippers]");
        f.editable();
        f.grid->setCurrentIndex(f.grid->model()->index(0, 1));
        f.grid->setFocus();
        QTest::keyClick(f.grid, 'A');
        QCOMPARE(f.query.state(), data::DataSetState::Edit);
        QTest::keyClicks(QApplication::focusWidget(), "cme");
        f.elsewhere->setFocus();
        // The typed text is in the record, which is not posted.
        QCOMPARE(f.query.state(), data::DataSetState::Edit);
        QCOMPARE(QString::fromStdString(f.query.field(1).asString()), QStringLiteral("Acme"));
        f.query.post();
        data::TADOQuery check("Check");
        check.setConnection(&f.connection);
        check.setSQL("select CompanyName from Shippers where ShipperID = " +
                     f.query.field(0).asString());
        check.open();
        QCOMPARE(check.field(0).asString(), std::string("Acme"));
    }

    void postingWithTheEditorOpenKeepsTheRecordCurrent() {
        // The navigator's Post takes no focus: the grid's editor is still open when the data
        // set posts, and the grid's reset must not move to the first record.
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Shippers]");
        f.editable();
        f.query.last();
        f.grid->setFocus();
        f.grid->setCurrentIndex(f.grid->model()->index(2, 1));
        f.key(Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor != f.grid);
        QTest::keyClicks(editor, "X");
        f.query.post();
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        QCOMPARE(f.query.recNo(), 3);
        QCOMPARE(f.grid->currentIndex(), f.grid->model()->index(2, 1));
    }

    void escapeRestoresTheCellThenAsksBeforeDiscardingTheRecord() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Shippers]");
        f.editable();
        const QString before = f.cell(0, 1);
        f.grid->setCurrentIndex(f.grid->model()->index(0, 1));
        f.key(Qt::Key_Z);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor != f.grid);
        // First Escape: the changed cell goes back to the field's text, nothing is asked.
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(f.confirmations.asked.empty());
        QCOMPARE(f.query.state(), data::DataSetState::Edit);
        QCOMPARE(f.cell(0, 1), before);

        // A changed record: asked, No keeps the change, Yes drops it.
        f.query.field(2).setAsString("(503) 555-0000");
        f.confirmations.answers = {false, true};
        f.key(Qt::Key_Escape);
        QCOMPARE(f.query.state(), data::DataSetState::Edit);
        f.key(Qt::Key_Escape);
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        QCOMPARE(f.confirmations.asked.size(), std::size_t(2));
        QCOMPARE(f.confirmations.asked[0].text, QStringLiteral("Discard changes to this record?"));
        QCOMPARE(f.confirmations.asked[0].buttons, ConfirmButtons::YesNo);
        QVERIFY(f.cell(0, 2) != QStringLiteral("(503) 555-0000"));

        // Unchanged edit state: left at once, without a question.
        f.query.edit();
        f.key(Qt::Key_Escape);
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        QCOMPARE(f.confirmations.asked.size(), std::size_t(2));
    }

    void ctrlDeleteAsksDeleteRecord() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Order Details]");
        f.editable();
        const int before = f.count("Order Details");
        f.confirmations.answers = {false, true};
        f.key(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(f.count("Order Details"), before);
        f.key(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(f.count("Order Details"), before - 1);
        QCOMPARE(f.confirmations.asked.size(), std::size_t(2));
        QCOMPARE(f.confirmations.asked[1].text, QStringLiteral("Delete record?"));
        QCOMPARE(f.confirmations.asked[1].buttons, ConfirmButtons::OkCancel);
        QVERIFY(f.errors.isEmpty());
    }

    void aFailedPostIsShownAndTheRecordStaysInInsertState() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Order Details]");
        f.editable();
        const std::string order = f.query.field(0).asString();
        const std::string product = f.query.field(1).asString();
        f.key(Qt::Key_Insert);
        f.query.field(0).setAsString(order);
        f.query.field(1).setAsString(product);
        f.query.field(2).setAsString("1");
        f.query.field(3).setAsString("1");
        f.query.field(4).setAsString("0");
        // Down moves on, which posts first: the key is taken, so the post fails.
        f.key(Qt::Key_Down);
        QCOMPARE(f.errors.size(), 1);
        QCOMPARE(f.query.state(), data::DataSetState::Insert);
    }

    void theMemoWindowFollowsTheGridsReadOnlyFlag() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Categories]");
        const std::string text = f.query.field(2).asString();
        bool cancelShown = true;
        bool editable = true;
        QString title;
        onNextModal([&](QWidget& modal) {
            title = modal.windowTitle();
            cancelShown = test::childVisible(modal, "CancelBtn");
            editable = !modal.findChild<QPlainTextEdit*>("Memo")->isReadOnly();
            modal.findChild<QPushButton*>("OKBtn")->click();
        });
        f.grid->setCurrentIndex(f.grid->model()->index(0, 2));
        f.key(Qt::Key_F2);
        QCOMPARE(title, QStringLiteral("Description"));
        QVERIFY(!cancelShown);
        QVERIFY(!editable);
        QCOMPARE(f.query.state(), data::DataSetState::Browse);

        // Editable: OK writes the text into the field and leaves the record unposted.
        f.editable();
        onNextModal([&](QWidget& modal) {
            cancelShown = test::childVisible(modal, "CancelBtn");
            modal.findChild<QPlainTextEdit*>("Memo")->setPlainText("one\ntwo");
            modal.findChild<QPushButton*>("OKBtn")->click();
        });
        f.key(Qt::Key_F2);
        QVERIFY(cancelShown);
        QCOMPARE(f.query.state(), data::DataSetState::Edit);
        QCOMPARE(f.query.field(2).asString(), std::string("one\r\ntwo"));
        // Cancel leaves the field as it was.
        onNextModal([&](QWidget& modal) {
            modal.findChild<QPlainTextEdit*>("Memo")->setPlainText("three");
            modal.findChild<QPushButton*>("CancelBtn")->click();
        });
        f.key(Qt::Key_F2);
        QCOMPARE(f.query.field(2).asString(), std::string("one\r\ntwo"));
        QVERIFY(f.query.field(2).asString() != text);
    }

    void ctrlCCopiesTheSelectedCellsAsTabSeparatedText() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Shippers]");
        f.grid->selectionModel()->select(
            QItemSelection(f.grid->model()->index(0, 0), f.grid->model()->index(1, 1)),
            QItemSelectionModel::ClearAndSelect);
        f.key(Qt::Key_C, Qt::ControlModifier);
        const QString expected =
            f.cell(0, 0) + "\t" + f.cell(0, 1) + "\n" + f.cell(1, 0) + "\t" + f.cell(1, 1) + "\n";
        QCOMPARE(QApplication::clipboard()->text(), expected);
    }
};

QTEST_MAIN(DataGridTest)
#include "DataGridTest.moc"
