// The Table Creator page as the window shows it: every control where the form puts it, its
// colours, captions, start state and the order the Tab key visits the controls.
#include "CreatorHelpers.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <cstdlib>

using test::CreatorWindow;

namespace {

const QColor skyBlue(166, 202, 240);
const QColor moneyGreen(192, 220, 192);

struct Placement {
    const char* name;
    const char* parent;
    QRect geometry;
};

// Positions relative to the enclosing control.
const Placement placements[] = {
    {"GroupBox2", "TableCreatorPage", {1, -2, 305, 469}},
    {"schema_header", "GroupBox2", {179, 12, 115, 22}},
    {"table_name", "GroupBox2", {4, 14, 170, 21}},
    {"GroupBox1", "GroupBox2", {4, 37, 290, 83}},
    {"col_type", "GroupBox1", {8, 37, 121, 21}},
    {"col_name", "GroupBox1", {8, 14, 169, 21}},
    {"col_len", "GroupBox1", {140, 35, 33, 21}},
    {"btnFieldAdd", "GroupBox1", {182, 12, 103, 20}},
    {"btnCreate", "GroupBox1", {180, 34, 105, 19}},
    {"cbNull", "GroupBox1", {9, 61, 65, 16}},
    {"cbDefault", "GroupBox1", {80, 60, 54, 16}},
    {"ebDefault", "GroupBox1", {140, 57, 144, 21}},
    {"GroupBox3", "GroupBox2", {5, 119, 290, 271}},
    {"tablez", "GroupBox3", {8, 16, 277, 226}},
    {"btnExecuteSQL", "GroupBox3", {96, 246, 100, 20}},
    {"btnSQLexp", "GroupBox3", {200, 246, 81, 20}},
    {"btnSQLimp", "GroupBox3", {11, 246, 82, 20}},
    {"GroupBox5", "GroupBox2", {5, 390, 290, 75}},
    {"indexz", "GroupBox5", {3, 14, 247, 56}},
    {"btnIndex", "GroupBox5", {252, 14, 34, 57}},
    {"RichEdit1", "TableCreatorPage", {309, 123, 251, 236}},
    {"RichEdit2", "TableCreatorPage", {308, 408, 244, 46}},
};

QColor pixelAt(QWidget& widget, QPoint point) {
    return widget.grab().toImage().pixelColor(point);
}

} // namespace

class TableCreatorLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }
    void init() {
        window_ = std::make_unique<CreatorWindow>();
        QVERIFY(window_->showPage(window::Page::TableCreator));
    }
    void cleanup() { window_.reset(); }

    void everyControlInItsPlace() {
        QWidget& page = window_->get<QWidget>("TableCreatorPage");
        QCOMPARE(page.parentWidget(), &window_->get<QWidget>("TabSheet1"));
        for (const Placement& placement : placements) {
            QWidget& control = window_->get<QWidget>(placement.name);
            QVERIFY2(control.isVisible(), placement.name);
            QCOMPARE(control.parentWidget()->objectName(), QLatin1String(placement.parent));
            QCOMPARE(control.geometry(), placement.geometry);
        }
        // The page holds everything its controls need.
        QVERIFY(page.rect().contains(window_->get<QWidget>("RichEdit1").geometry().bottomRight()));
        QVERIFY(page.rect().contains(window_->get<QWidget>("GroupBox2").geometry().bottomRight()));
    }

    void labelsStartWhereTheFormPutsThem() {
        // Labels grow with their caption, as far as it takes.
        const QLabel& schema = window_->get<QLabel>("Label1");
        QCOMPARE(schema.text(), QStringLiteral("Schema reminders"));
        QCOMPARE(schema.pos(), QPoint(312, 105));
        QVERIFY(schema.width() >= schema.sizeHint().width());
        const QLabel& example = window_->get<QLabel>("Label2");
        QCOMPARE(example.text(), QStringLiteral("Example Index (Primary Key)"));
        QCOMPARE(example.pos(), QPoint(309, 391));
        QVERIFY(example.width() >= example.sizeHint().width());
    }

    void captions() {
        const auto title = [&](const char* name) { return window_->get<QGroupBox>(name).title(); };
        QCOMPARE(title("GroupBox2"), QStringLiteral("2. New Table"));
        QCOMPARE(title("GroupBox1"), QStringLiteral("3. Add Field/Column"));
        QCOMPARE(title("GroupBox3"), QStringLiteral("4. SQL/Schema"));
        QCOMPARE(title("GroupBox5"), QStringLiteral("5. Apply Index to Table"));
        const auto caption = [&](const char* name) {
            return window_->get<QAbstractButton>(name).text();
        };
        QCOMPARE(caption("schema_header"), QStringLiteral("Create Table Schema"));
        QCOMPARE(caption("btnFieldAdd"), QStringLiteral("Add to Schema"));
        QCOMPARE(caption("btnCreate"), QStringLiteral("Last Column"));
        QCOMPARE(caption("cbNull"), QStringLiteral("Not Null"));
        QCOMPARE(caption("cbDefault"), QStringLiteral("Default"));
        QCOMPARE(caption("btnExecuteSQL"), QStringLiteral("Create Table"));
        QCOMPARE(caption("btnSQLexp"), QStringLiteral("Export Schema"));
        QCOMPARE(caption("btnSQLimp"), QStringLiteral("Import Schema"));
        QCOMPARE(caption("btnIndex"), QStringLiteral("ADD Index"));
    }

    void indexButtonCaptionWrapsOntoTwoLines() {
        QAbstractButton& button = window_->get<QAbstractButton>("btnIndex");
        const QFontMetrics metrics(button.font());
        QVERIFY(metrics.horizontalAdvance(button.text()) > button.width());
        // Drawn on two lines: the caption's dark pixels cover more rows than one line has.
        const QImage picture = button.grab().toImage();
        int inkRows = 0;
        for (int y = 3; y < picture.height() - 3; ++y)
            for (int x = 3; x < picture.width() - 3; ++x)
                if (picture.pixelColor(x, y).lightness() < 80) {
                    ++inkRows;
                    break;
                }
        QVERIFY2(inkRows > metrics.height(), qPrintable(QString::number(inkRows)));
    }

    void startState() {
        QCOMPARE(window_->edit("table_name").text(), QStringLiteral("table_name"));
        QCOMPARE(window_->edit("col_name").text(), QStringLiteral("col_name"));
        QCOMPARE(window_->edit("col_len").text(), QStringLiteral("0"));
        QCOMPARE(window_->edit("ebDefault").text(), QString());
        QVERIFY(!window_->get<QCheckBox>("cbNull").isChecked());
        QVERIFY(!window_->get<QCheckBox>("cbDefault").isChecked());
        const QComboBox& types = window_->get<QComboBox>("col_type");
        QCOMPARE(types.currentIndex(), -1);
        QCOMPARE(types.currentText(), QString());
        QVERIFY(!types.isEditable());
        QStringList items;
        for (int i = 0; i < types.count(); ++i) items << types.itemText(i);
        QCOMPARE(items, (QStringList{"TEXT", "COUNTER", "FLOAT", "INTEGER", "CURRENCY", "BLOB",
                                     "YES/NO", "MEMO", "DATE", "DATETIME", "TIME"}));
        QCOMPARE(window_->text("tablez"), QString());
        QCOMPARE(window_->text("indexz"), QString());
    }

    void statementBoxes() {
        for (const char* name : {"tablez", "indexz"}) {
            const QPlainTextEdit& box = window_->box(name);
            QVERIFY(!box.isReadOnly());
            QCOMPARE(box.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QCOMPARE(box.lineWrapMode(), QPlainTextEdit::WidgetWidth);
        }
    }

    void reminderPanels() {
        const QStringList reminders{
            "create table table_name (",
            "[col_auto] counter,",
            "[col_bool] yesno,",
            "[col_memo] memo",
            ")",
            "",
            "Add 8:1 Relationship ",
            "[col_name] text(50) constraint link_name references ",
            "table(column)",
            "",
            "Add Default Values",
            "[col_name] text(1) default \"Y\"",
            "",
            "Require Value",
            "[col_name] text(1) not null",
            "",
        };
        QCOMPARE(window_->text("RichEdit1").split(QStringLiteral("\r\n")), reminders);
        QCOMPARE(
            window_->text("RichEdit2").split(QStringLiteral("\r\n")),
            (QStringList{"create index index_name on table_name", "(col_auto) with primary", ""}));
        for (const char* name : {"RichEdit1", "RichEdit2"}) {
            QPlainTextEdit& panel = window_->box(name);
            QVERIFY(panel.isReadOnly());
            QCOMPARE(panel.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            QCOMPARE(panel.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            QCOMPARE(panel.palette().color(QPalette::Base), moneyGreen);
            // The panel is drawn green near its bottom, below its last line of text.
            QCOMPARE(pixelAt(panel, QPoint(panel.width() - 8, panel.height() - 6)), moneyGreen);
            // Typing into it changes nothing.
            const QString before = window_->text(name);
            panel.setFocus();
            QTest::keyClicks(&panel, QStringLiteral("drop table x"));
            QCOMPARE(window_->text(name), before);
        }
    }

    void skyBlueInputs() {
        for (const char* name : {"table_name", "col_name"}) {
            QLineEdit& edit = window_->edit(name);
            QCOMPARE(edit.palette().color(QPalette::Base), skyBlue);
            QCOMPARE(pixelAt(edit, QPoint(edit.width() - 5, edit.height() / 2)), skyBlue);
        }
        QComboBox& types = window_->get<QComboBox>("col_type");
        QCOMPARE(types.palette().color(QPalette::Base), skyBlue);
        QCOMPARE(types.palette().color(QPalette::Button), skyBlue);
        // The style shades the face of a drop-down list, in the hue of its colour.
        const QColor face = pixelAt(types, QPoint(10, types.height() / 2));
        QVERIFY2(std::abs(face.hslHue() - skyBlue.hslHue()) <= 6 && face.hslSaturation() > 100,
                 qPrintable(face.name()));
        // The others keep the colours of their kind.
        const QColor window = QApplication::palette().color(QPalette::Base);
        QCOMPARE(window_->edit("col_len").palette().color(QPalette::Base), window);
        QCOMPARE(window_->edit("ebDefault").palette().color(QPalette::Base), window);
    }

    void tabOrder() {
        const QStringList expected{
            "schema_header", "table_name", "col_type",  "col_name",  "col_len",   "btnFieldAdd",
            "btnCreate",     "cbNull",     "cbDefault", "ebDefault", "tablez",    "btnExecuteSQL",
            "btnSQLexp",     "btnSQLimp",  "indexz",    "btnIndex",  "RichEdit1", "RichEdit2"};
        window_->get<QWidget>("schema_header").setFocus();
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (qsizetype step = 1; step < expected.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
        // Shift+Tab walks back.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("RichEdit1"));
    }

private:
    std::unique_ptr<CreatorWindow> window_;
};

QTEST_MAIN(TableCreatorLayoutTest)
#include "TableCreatorLayoutTest.moc"
