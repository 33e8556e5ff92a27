// The Table Creator's actions through the window: the column form and the names it has used,
// the schema and index templates, and executing both boxes on the database.
#include "CreatorHelpers.h"

#include <QTabBar>

using test::CreatorWindow;
using test::customersSchema;
using Kind = test::ScriptedPrompts::Kind;

namespace {
const QString alreadyUsed = QStringLiteral("Field/Column Name Already used...");
} // namespace

class TableCreatorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }
    void init() {
        window_ = std::make_unique<CreatorWindow>();
        QVERIFY(window_->showPage(window::Page::TableCreator));
    }
    void cleanup() { window_.reset(); }

    // Column form

    void addAtStartRecordsTheNameOnly() {
        CreatorWindow& w = *window_;
        w.click("btnFieldAdd");
        QCOMPARE(w.text("tablez"), QString());
        QCOMPARE(w.form->workspace().columnList().count(), 1);
        QCOMPARE(w.form->workspace().columnList().entry(0), std::string("col_name"));
        QVERIFY(w.prompts->shown.empty());
        // With a type chosen the same name is now refused.
        w.chooseType("TEXT");
        w.click("btnFieldAdd");
        QCOMPARE(w.prompts->texts(Kind::Information), std::vector<QString>{alreadyUsed});
        QCOMPARE(w.text("tablez"), QString());
        QCOMPARE(w.form->workspace().columnList().count(), 1);
    }

    void textWithTheStartLength() {
        CreatorWindow& w = *window_;
        w.chooseType("TEXT");
        w.click("btnFieldAdd");
        QCOMPARE(w.text("tablez"), QStringLiteral("[col_name] text(0),\r\n"));
    }

    void formSettingsReachTheLine() {
        CreatorWindow& w = *window_;
        w.column("Code", "TEXT", true);
        w.edit("col_len").setText(QStringLiteral("10"));
        w.get<QCheckBox>("cbDefault").setChecked(true);
        w.edit("ebDefault").setText(QStringLiteral("Y"));
        w.click("btnFieldAdd");
        w.column("Notes", "MEMO");
        w.edit("ebDefault").setText(QStringLiteral(" x "));
        w.click("btnFieldAdd");
        w.column("Active", "YES/NO", true);
        w.click("btnCreate");
        QCOMPARE(w.text("tablez"), QStringLiteral("[Code] text(10) not null default \"Y\",\r\n"
                                                  "[Notes] memo default  \"x\",\r\n"
                                                  "[Active] yesno default true)\r\n"));
        // The form keeps its settings for the next column.
        QCOMPARE(w.edit("col_name").text(), QStringLiteral("Active"));
        QCOMPARE(w.get<QComboBox>("col_type").currentText(), QStringLiteral("YES/NO"));
        QCOMPARE(w.edit("col_len").text(), QStringLiteral("10"));
        QVERIFY(w.get<QCheckBox>("cbNull").isChecked());
        QVERIFY(w.get<QCheckBox>("cbDefault").isChecked());
        QCOMPARE(w.edit("ebDefault").text(), QStringLiteral(" x "));
    }

    void eachPressAppendsOneLine() {
        CreatorWindow& w = *window_;
        w.column("A", "DATE");
        w.click("btnCreate");
        w.column("B", "TIME");
        w.click("btnCreate");
        w.column("C", "INTEGER");
        w.click("btnFieldAdd");
        QCOMPARE(w.text("tablez"), QStringLiteral("[A] date)\r\n[B] time)\r\n[C] integer,\r\n"));
        QCOMPARE(w.form->workspace().columnList().count(), 3);
    }

    void namesAreCaseSensitiveAndTrimmed() {
        CreatorWindow& w = *window_;
        w.column("ID", "COUNTER");
        w.click("btnFieldAdd");
        w.column("id", "INTEGER");
        w.click("btnFieldAdd");
        w.column("  ID\t", "FLOAT");
        w.click("btnFieldAdd");
        QCOMPARE(w.prompts->texts(Kind::Information), std::vector<QString>{alreadyUsed});
        QCOMPARE(w.text("tablez"), QStringLiteral("[ID] counter,\r\n[id] integer,\r\n"));
        // A name typed with blanks is recorded without them, and the bare name is refused.
        w.column(" Qty ", "INTEGER");
        w.click("btnFieldAdd");
        QCOMPARE(w.form->workspace().columnList().entry(2), std::string("Qty"));
        w.column("Qty", "CURRENCY");
        w.click("btnCreate");
        QCOMPARE(w.prompts->texts(Kind::Information),
                 (std::vector<QString>{alreadyUsed, alreadyUsed}));
        QCOMPARE(w.text("tablez"),
                 QStringLiteral("[ID] counter,\r\n[id] integer,\r\n[Qty] integer,\r\n"));
        QCOMPARE(w.form->workspace().columnList().count(), 3);
    }

    void emptyNameIsANameToo() {
        CreatorWindow& w = *window_;
        w.column("", "COUNTER");
        w.click("btnFieldAdd");
        w.column(" ", "DATE");
        w.click("btnFieldAdd");
        QCOMPARE(w.text("tablez"), QStringLiteral("[] counter,\r\n"));
        QCOMPARE(w.prompts->texts(Kind::Information), std::vector<QString>{alreadyUsed});
    }

    void nonAsciiNamesAreComparedExactly() {
        CreatorWindow& w = *window_;
        w.column("Preço", "CURRENCY");
        w.click("btnFieldAdd");
        w.column("PREÇO", "CURRENCY");
        w.click("btnFieldAdd");
        w.column("Preço", "CURRENCY");
        w.click("btnFieldAdd");
        QCOMPARE(w.text("tablez"),
                 QStringLiteral("[Pre\u00e7o] currency,\r\n[PRE\u00c7O] currency,\r\n"));
        QCOMPARE(w.prompts->texts(Kind::Information), std::vector<QString>{alreadyUsed});
    }

    void lineAfterTypedTextStartsANewLine() {
        CreatorWindow& w = *window_;
        QPlainTextEdit& tablez = w.box("tablez");
        tablez.setFocus();
        QTest::keyClicks(&tablez, QStringLiteral("create table T ("));
        w.column("ID", "COUNTER");
        w.click("btnFieldAdd");
        QCOMPARE(w.text("tablez"), QStringLiteral("create table T (\r\n[ID] counter,\r\n"));
        // Typed after the last line, with its own line break: nothing extra in between.
        tablez.moveCursor(QTextCursor::End);
        tablez.setFocus();
        QTest::keyClicks(&tablez, QStringLiteral("[N] text(5),"));
        QTest::keyClick(&tablez, Qt::Key_Return);
        w.column("When", "DATETIME");
        w.click("btnCreate");
        QCOMPARE(w.text("tablez"), QStringLiteral("create table T (\r\n[ID] counter,\r\n"
                                                  "[N] text(5),\r\n[When] datetime)\r\n"));
    }

    void appendingCanBeUndone() {
        CreatorWindow& w = *window_;
        w.box("tablez").setPlainText(QStringLiteral("typed"));
        w.column("ID", "COUNTER");
        w.click("btnFieldAdd");
        w.box("tablez").undo();
        QCOMPARE(w.text("tablez"), QStringLiteral("typed"));
    }

    // Schema and index templates

    void schemaHeaderStartsBothBoxes() {
        CreatorWindow& w = *window_;
        w.form->workspace().tableList().Append("[Orders]");
        w.column("Old", "COUNTER");
        w.click("btnFieldAdd");
        w.box("indexz").setPlainText(QStringLiteral("typed index"));
        w.edit("table_name").setText(QStringLiteral("Customers"));
        w.click("schema_header");
        QCOMPARE(w.text("tablez"), QStringLiteral("create table Customers (\r\n"));
        QCOMPARE(
            w.text("indexz"),
            QStringLiteral("create index INDEX_NAME on Customers(COLUMN_NAME) with primary\r\n"));
        QCOMPARE(w.form->workspace().columnList().count(), 0);
        QCOMPARE(w.form->workspace().tableList().count(), 1);
        QVERIFY(w.prompts->shown.empty());
        // The name used before the new schema is free again.
        w.click("btnFieldAdd");
        QCOMPARE(w.text("tablez"),
                 QStringLiteral("create table Customers (\r\n[Old] counter,\r\n"));
    }

    void tableNameBlanksStayOnlyInTheTableLine() {
        CreatorWindow& w = *window_;
        w.edit("table_name").setText(QStringLiteral("  My Table "));
        w.click("schema_header");
        QCOMPARE(w.text("tablez"), QStringLiteral("create table   My Table  (\r\n"));
        QCOMPARE(
            w.text("indexz"),
            QStringLiteral("create index INDEX_NAME on My Table(COLUMN_NAME) with primary\r\n"));
        w.edit("table_name").clear();
        w.click("schema_header");
        QCOMPARE(w.text("tablez"), QStringLiteral("create table  (\r\n"));
        QCOMPARE(w.text("indexz"),
                 QStringLiteral("create index INDEX_NAME on (COLUMN_NAME) with primary\r\n"));
    }

    // Executing the boxes

    void createTableExecutesTheWholeTextOnce() {
        CreatorWindow& w = *window_;
        w.buildCustomersSchema();
        w.click("btnExecuteSQL");
        QCOMPARE(w.command->executed, std::vector<std::string>{customersSchema.toStdString()});
        QCOMPARE(w.prompts->texts(Kind::Information),
                 std::vector<QString>{QStringLiteral("Table Created/Altered")});
        QCOMPARE(w.text("tablez"), customersSchema);
        // Whatever the user typed goes too, as it is.
        w.box("tablez").setPlainText(
            QStringLiteral("alter table Customers\nadd column [Note] memo"));
        w.click("btnExecuteSQL");
        QCOMPARE(w.command->executed.back(),
                 std::string("alter table Customers\r\nadd column [Note] memo"));
        QCOMPARE(w.command->executed.size(), std::size_t{2});
    }

    void addIndexExecutesTheTemplateAsItIs() {
        CreatorWindow& w = *window_;
        w.buildCustomersSchema();
        w.click("btnIndex");
        QCOMPARE(w.command->executed,
                 std::vector<std::string>{
                     "create index INDEX_NAME on Customers(COLUMN_NAME) with primary\r\n"});
        QCOMPARE(w.prompts->texts(Kind::Information),
                 std::vector<QString>{QStringLiteral("Index Created/Altered")});
    }

    void failedExecutionShowsTheErrorAndKeepsTheText() {
        CreatorWindow& w = *window_;
        w.buildCustomersSchema();
        w.command->failure = "Table 'Customers' already exists";
        w.click("btnExecuteSQL");
        w.click("btnIndex");
        QCOMPARE(w.prompts->texts(Kind::Error),
                 (std::vector<QString>{"Table 'Customers' already exists.",
                                       "Table 'Customers' already exists."}));
        QVERIFY(w.prompts->texts(Kind::Information).empty());
        QCOMPARE(w.text("tablez"), customersSchema);
        QCOMPARE(w.command->executed.size(), std::size_t{2});
    }

    void emptyBoxIsRefusedByTheCommand() {
        CreatorWindow& w = *window_;
        w.click("btnExecuteSQL");
        w.click("btnIndex");
        QVERIFY(w.command->executed.empty());
        QCOMPARE(w.prompts->texts(Kind::Error),
                 (std::vector<QString>{"ADOCommand1: Missing CommandText property.",
                                       "ADOCommand1: Missing CommandText property."}));
        QVERIFY(w.prompts->texts(Kind::Information).empty());
        // Blanks alone are a text: it goes to the database.
        w.box("indexz").setPlainText(QStringLiteral(" "));
        w.click("btnIndex");
        QCOMPARE(w.command->executed, std::vector<std::string>{" "});
    }

    void withoutADatabaseNothingIsCreated() {
        CreatorWindow& w = *window_;
        w.form->workspace().setCommand(std::make_unique<test::DisconnectedCommand>());
        w.click("btnExecuteSQL");
        w.buildCustomersSchema();
        w.click("btnExecuteSQL");
        QCOMPARE(w.prompts->texts(Kind::Error),
                 (std::vector<QString>{"ADOCommand1: Missing CommandText property.",
                                       "No database is open."}));
        QVERIFY(w.prompts->texts(Kind::Information).empty());
    }

    void pageKeepsItsTextsAcrossPages() {
        CreatorWindow& w = *window_;
        w.buildCustomersSchema();
        QTabBar& tabs = *w.get<QTabWidget>("Book").tabBar();
        QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(4).center());
        QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(1).center());
        QCOMPARE(w.text("tablez"), customersSchema);
        QCOMPARE(w.edit("table_name").text(), QStringLiteral("Customers"));
    }

    void leavingThePageFromAFieldRunsItsExitHandler() {
        CreatorWindow& w = *window_;
        int exits = 0;
        test::PageNotices notices(*w.form);
        notices.exited = [&](window::Page page) {
            if (page == window::Page::TableCreator) ++exits;
        };
        w.edit("table_name").setFocus();
        QTabBar& tabs = *w.get<QTabWidget>("Book").tabBar();
        QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(4).center());
        QCOMPARE(exits, 1);
    }

private:
    std::unique_ptr<CreatorWindow> window_;
};

QTEST_MAIN(TableCreatorTest)
#include "TableCreatorTest.moc"
