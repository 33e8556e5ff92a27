// The grid's in-place editors on a file made here with one column of every kind: the editor
// each kind gets, a typed value stored as the SQL console stores the same text and shown back,
// a number the field cannot hold refused with the editor left open, and yes/no ticked without
// an editor.
#include "ControlsFixture.h"

#include "controls/FilterDateEdit.h"
#include "controls/GridEditors.h"
#include "data/FieldText.h"
#include "data/TADOCommand.h"
#include "jet/Database.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QValidator>

using controls::GridEditorKind;

namespace {

// One record (ID 1) to edit in the grid; record 2 takes the same texts through SQL. Made once,
// copied for each case.
QString makeKinds(const QTemporaryDir& scratch) {
    static QTemporaryDir made;
    const QString original = made.filePath(QStringLiteral("kinds.mdb"));
    if (!QFile::exists(original)) {
        jet::Database::create(std::filesystem::path(QFile::encodeName(original).toStdString()), {});
        data::TADOConnection connection("Maker");
        connection.setConnectionString(test::openString(original));
        connection.setLoginPrompt(false);
        data::TADOCommand command;
        command.setConnection(&connection);
        for (const char* statement :
             {"create table Kinds (ID long primary key, B byte, I short, L long, S single, "
              "D double, C currency, N decimal(10,2), T datetime, X text(10), Y yesno, M memo)",
              "insert into Kinds (ID) values (1)", "insert into Kinds (ID) values (2)"}) {
            command.setCommandText(statement);
            command.execute();
        }
    }
    const QString path = scratch.filePath(QStringLiteral("kinds.mdb"));
    return QFile::copy(original, path) ? path : QString();
}

struct Editing {
    test::ControlsFixture f{makeKinds};

    QWidget* openEditor(int column) {
        f.grid->setCurrentIndex(f.grid->model()->index(0, column));
        f.key(Qt::Key_F2);
        QWidget* focus = QApplication::focusWidget();
        return focus == f.grid ? nullptr : focus;
    }
    // Replaces the editor's text by typing, then Enter (whose commit is queued).
    void typeAndEnter(QLineEdit& editor, const QString& text) {
        editor.selectAll();
        QTest::keyClick(&editor, Qt::Key_Delete);
        QTest::keyClicks(&editor, text);
        QTest::keyClick(&editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    // A column's value of a record as stored in the file.
    std::string stored(const QString& column, int id) {
        data::TADOQuery check("Check");
        check.setConnection(&f.connection);
        check.setSQL("select " + column.toStdString() +
                     " from Kinds where ID = " + std::to_string(id));
        check.open();
        return data::valueText(check.field(0).value(), check.formats());
    }
};

} // namespace

class GridEditorsTest : public QObject {
    Q_OBJECT
private slots:
    void eachKindGetsItsEditorAndStoresWhatTheConsoleStores_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("refused"); // a text the field cannot take ("": none)
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("literal"); // the same value in a statement
        QTest::addColumn<QString>("shown");
        auto row = [](const char* name, int column, GridEditorKind kind, const char* refused,
                      const char* typed, const char* literal, const char* shown) {
            QTest::newRow(name) << column << static_cast<int>(kind) << refused << typed << literal
                                << shown;
        };
        row("byte", 1, GridEditorKind::WholeNumber, "300", "200", "200", "200");
        row("integer", 2, GridEditorKind::WholeNumber, "40000", "-1234", "-1234", "-1234");
        row("long", 3, GridEditorKind::WholeNumber, "3000000000", "+123456", "123456", "123456");
        row("single", 4, GridEditorKind::Float, "1e40", "1.5E3", "1.5E3", "1500");
        row("double", 5, GridEditorKind::Float, "-", "-2.25", "-2.25", "-2.25");
        row("currency", 6, GridEditorKind::Fraction, ".", "12.5", "12.5", "$12.50");
        row("decimal", 7, GridEditorKind::Fraction, "", "3.14", "3.14", "3.14");
        row("date", 8, GridEditorKind::Date, "2/30/2001", "2/3/2001 1:05 PM", "#2/3/2001 13:05#",
            "2/3/2001 1:05:00 PM");
        row("text", 9, GridEditorKind::Text, "", "hello", "'hello'", "hello");
        row("yes/no", 10, GridEditorKind::None, "", "", "", "");
        row("memo", 11, GridEditorKind::None, "", "", "", "(Memo)");
    }

    void eachKindGetsItsEditorAndStoresWhatTheConsoleStores() {
        QFETCH(int, column);
        QFETCH(int, kind);
        QFETCH(QString, refused);
        QFETCH(QString, typed);
        QFETCH(QString, literal);
        QFETCH(QString, shown);
        Editing e;
        REQUIRE_CONTROLS_FIXTURE(e.f);
        e.f.open("select * from Kinds order by ID");
        e.f.editable();
        const data::TField& field = e.f.query.field(static_cast<std::size_t>(column));
        QCOMPARE(static_cast<int>(controls::gridEditorKind(field.dataType())), kind);

        if (kind == static_cast<int>(GridEditorKind::None)) {
            // Edited without a cell editor (below, and the memo window's tests).
            QCOMPARE(e.f.cell(0, column), shown);
            return;
        }
        auto* editor = qobject_cast<QLineEdit*>(e.openEditor(column));
        QVERIFY(editor);
        const bool number = kind != static_cast<int>(GridEditorKind::Text) &&
                            kind != static_cast<int>(GridEditorKind::Date);
        QCOMPARE(qobject_cast<controls::FilterDateEdit*>(editor) != nullptr,
                 kind == static_cast<int>(GridEditorKind::Date));
        QCOMPARE(editor->validator() != nullptr, number);
        if (kind == static_cast<int>(GridEditorKind::Text)) QCOMPARE(editor->maxLength(), 10);
        if (number) {
            // Letters do not get into a number's box.
            QTest::keyClicks(editor, "7x,");
            QCOMPARE(editor->text(), QStringLiteral("7"));
        }

        if (!refused.isEmpty()) {
            // The field's own message; the editor stays open on the text and nothing is stored.
            e.typeAndEnter(*editor, refused);
            QCOMPARE(e.f.errors.size(), 1);
            QCOMPARE(e.f.grid->indexWidget(e.f.grid->currentIndex()), editor);
            QCOMPARE(editor->text(), refused);
            QVERIFY(field.isNull());
            // Neither Down nor a post takes the record past the refused text.
            QTest::keyClick(editor, Qt::Key_Down);
            QCOMPARE(e.f.errors.size(), 2);
            QCOMPARE(e.f.query.recNo(), 1);
            QCOMPARE(e.f.grid->indexWidget(e.f.grid->currentIndex()), editor);
            e.f.errors.clear();
        }

        e.typeAndEnter(*editor, typed);
        QVERIFY2(e.f.errors.isEmpty(), qPrintable(e.f.errors.join('\n')));
        QVERIFY(!e.f.grid->indexWidget(e.f.grid->currentIndex()));
        QCOMPARE(QApplication::focusWidget(), e.f.grid);
        QCOMPARE(e.f.cell(0, column), shown);
        e.f.query.post();

        const QString name = QString::fromStdString(field.fieldName());
        data::TADOCommand console;
        console.setConnection(&e.f.connection);
        console.setCommandText("update Kinds set " + name.toStdString() + " = " +
                               literal.toStdString() + " where ID = 2");
        console.execute();
        QCOMPARE(e.stored(name, 1), e.stored(name, 2));
        QVERIFY(!e.stored(name, 1).empty());
    }

    void aRefusedTextShownInABoxIsMendedAndTheGridKeepsTheFocus() {
        Editing e;
        REQUIRE_CONTROLS_FIXTURE(e.f);
        // The window's error display: a modal box, closed as soon as it shows.
        e.f.grid->setErrorDisplay([&e](const std::exception& error) {
            e.f.errors << QString::fromStdString(error.what());
            QTimer::singleShot(0, [] {
                if (QWidget* box = QApplication::activeModalWidget()) box->close();
            });
            QMessageBox::critical(e.f.window.get(), QStringLiteral("Tablory"), error.what());
        });
        e.f.open("select * from Kinds order by ID");
        e.f.editable();
        auto* editor = qobject_cast<QLineEdit*>(e.openEditor(1));
        QVERIFY(editor);
        e.typeAndEnter(*editor, QStringLiteral("300"));
        QCOMPARE(e.f.errors.size(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), editor);
        // Leaving the grid for another control hands the text over again: refused, it stays.
        e.f.elsewhere->setFocus();
        QCOMPARE(e.f.errors.size(), 2);
        QTRY_COMPARE(QApplication::focusWidget(), editor);
        QCOMPARE(editor->text(), QStringLiteral("300"));
        e.typeAndEnter(*editor, QStringLiteral("30"));
        QCOMPARE(e.f.errors.size(), 2);
        QCOMPARE(QApplication::focusWidget(), e.f.grid);
        QCOMPARE(e.f.query.field(1).asString(), std::string("30"));
    }

    void upAndDownInTheDateEditorMoveBetweenRecords() {
        Editing e;
        REQUIRE_CONTROLS_FIXTURE(e.f);
        e.f.open("select * from Kinds order by ID");
        e.f.editable();
        auto* editor = qobject_cast<controls::FilterDateEdit*>(e.openEditor(8));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "2/3/2001");
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(e.f.query.recNo(), 2);
        QVERIFY(e.f.errors.isEmpty());
        QCOMPARE(e.stored(QStringLiteral("T"), 1), std::string("2/3/2001"));
    }

    void yesNoIsTickedByClickAndSpaceWithoutAnEditor() {
        Editing e;
        REQUIRE_CONTROLS_FIXTURE(e.f);
        e.f.open("select * from Kinds order by ID");
        e.f.editable();
        const QModelIndex cell = e.f.grid->model()->index(0, 10);
        e.f.grid->setCurrentIndex(cell);
        e.f.key(Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), e.f.grid);
        QCOMPARE(e.f.query.state(), data::DataSetState::Edit);
        QCOMPARE(e.f.query.field(10).asString(), std::string("True"));
        e.f.key(Qt::Key_A);
        QCOMPARE(QApplication::focusWidget(), e.f.grid);

        // A click on the box ticks it off again.
        QStyleOptionViewItem option;
        option.rect = e.f.grid->visualRect(cell);
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box = e.f.grid->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator,
                                                            &option, e.f.grid);
        QTest::mouseClick(e.f.grid->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(e.f.query.field(10).asString(), std::string("False"));
        QVERIFY(e.f.errors.isEmpty());
    }
};

QTEST_MAIN(GridEditorsTest)
#include "GridEditorsTest.moc"
