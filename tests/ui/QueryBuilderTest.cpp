// The Query Builder page in the window, on a file holding an Orders and a Customers table:
// picks and the comma rule over the shared name lists, the statement, Run Query, and the
// saved query files byte for byte with their failures.
#include "DatabaseHelpers.h"
#include "browser/BrowserPage.h"
#include "builder/QueryBuilderPage.h"
#include "controls/MemoText.h"
#include "controls/TwwDBGrid.h"

#include <QPlainTextEdit>

using Kind = test::ScriptedPrompts::Kind;

namespace {

// The worked example's statement: six lines, 139 bytes.
const QByteArray workedStatement = "select [Orders].[OrderID]\r\n"
                                   ",[Orders].[Amount]\r\n"
                                   ",[Customers].[Name]\r\n"
                                   " from [Orders]\r\n"
                                   ",[Customers]\r\n"
                                   " where [Orders].[CustID]=[Customers].[ID]";

struct BuilderWindow : test::DatabaseWindow {
    builder::QueryBuilderPage* page = nullptr;

    // Shown on a new file with the example's tables, opened, the Query Builder current.
    bool start() {
        if (!show()) return false;
        const QString file = path(QStringLiteral("orders.mdb"));
        test::makeDatabase(file, {});
        open(file);
        if (!errors().empty()) return false;
        for (const char* statement :
             {"create table Orders (OrderID long, Amount currency, CustID long)",
              "create table Customers (ID long, Name text(50))",
              "insert into Orders values (1, 10.5, 1)", "insert into Orders values (2, 20, 2)",
              "insert into Orders values (3, 7, 1)", "insert into Customers values (1, 'Ada')",
              "insert into Customers values (2, 'Bob')"})
            form->workspace().command().execute(statement);
        page = form->findChild<builder::QueryBuilderPage*>();
        form->setCurrentPage(window::Page::QueryBuilder);
        return page && page->isVisible();
    }

    QPlainTextEdit& box(const char* name) { return get<QPlainTextEdit>(name); }
    QString text(const char* name) { return controls::memoText(box(name)); }
    QComboBox& combo(const char* name) { return get<QComboBox>(name); }
    controls::TwwDBGrid& grid() { return get<controls::TwwDBGrid>("wwDBGrid2"); }
    std::int32_t columns() { return form->workspace().columnList().count(); }
    std::int32_t tables() { return form->workspace().tableList().count(); }

    // Typed into the box as a user types, completion and change handler included.
    void type(const char* comboName, const QString& text) {
        QLineEdit& line = *combo(comboName).lineEdit();
        line.setFocus();
        line.selectAll();
        QTest::keyClicks(&line, text);
    }
    // A table and a column picked, then "Add to Querybuilder".
    void add(const QString& table, const QString& column) {
        type("ComboBox1", table);
        type("ComboBox2", column);
        click("Button1");
    }
    void buildWorkedExample() {
        click("Button5");
        add(QStringLiteral("Orders"), QStringLiteral("OrderID"));
        add(QStringLiteral("Orders"), QStringLiteral("Amount"));
        add(QStringLiteral("Customers"), QStringLiteral("Name"));
        box("mWhere").setFocus();
        QTest::keyClicks(&box("mWhere"), QStringLiteral("[Orders].[CustID]=[Customers].[ID]"));
    }
    // Save Query, the save dialog answering with this name (nothing: the user cancels).
    void save(const std::optional<QString>& answer) {
        prompts->files.push_back(answer);
        click("Button4");
    }
    void load(const std::optional<QString>& answer) {
        prompts->files.push_back(answer);
        click("Button2");
    }
};

} // namespace

class QueryBuilderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }

    void workedExampleBuildsRunsAndAsksAboutRepeats() {
        BuilderWindow w;
        QVERIFY(w.start());
        QCOMPARE(w.combo("ComboBox1").count(), 2);
        QCOMPARE(w.combo("ComboBox1").currentText(), QStringLiteral("Select Table"));
        w.buildWorkedExample();
        QCOMPARE(
            w.text("mSelect"),
            QStringLiteral("[Orders].[OrderID]\r\n,[Orders].[Amount]\r\n,[Customers].[Name]\r\n"));
        QCOMPARE(w.text("mfrom"), QStringLiteral("[Orders]\r\n,[Customers]\r\n"));
        QCOMPARE(w.text("mWhere"), QStringLiteral("[Orders].[CustID]=[Customers].[ID]"));
        QCOMPARE(w.columns(), 3);
        QCOMPARE(w.tables(), 2);
        QCOMPARE(w.combo("ComboBox2").currentText(), QStringLiteral("Select Column"));
        QCOMPARE(w.page->queryStatement().toLatin1(), workedStatement);
        QCOMPARE(workedStatement.size(), 139);

        w.click("Button3");
        QVERIFY(w.errors().empty());
        QVERIFY(w.page->ADODataSet1.active());
        QCOMPARE(w.page->ADODataSet1.commandText(), workedStatement.toStdString());
        QCOMPARE(w.grid().model()->rowCount(), 3);
        QCOMPARE(w.grid().model()->columnCount(), 3);

        // A repeated pick asks; No writes nothing, Yes writes the comma line; neither records.
        w.prompts->confirmations = {false, true};
        w.add(QStringLiteral("Orders"), QStringLiteral("Amount"));
        QCOMPARE(w.text("mSelect").count(QStringLiteral("\r\n")), 3);
        w.add(QStringLiteral("Orders"), QStringLiteral("Amount"));
        QVERIFY(w.text("mSelect").endsWith(
            QStringLiteral(",[Customers].[Name]\r\n,[Orders].[Amount]\r\n")));
        QCOMPARE(w.prompts->texts(Kind::Confirmation),
                 (std::vector<QString>{QStringLiteral("Column Already Selected, Add again?"),
                                       QStringLiteral("Column Already Selected, Add again?")}));
        QCOMPARE(w.columns(), 3);
        QCOMPARE(w.text("mfrom"), QStringLiteral("[Orders]\r\n,[Customers]\r\n"));
        // Entries differ by case; "Select Column" adds nothing.
        w.add(QStringLiteral("Orders"), QStringLiteral("Select Column"));
        QCOMPARE(w.columns(), 3);
        w.type("ComboBox1", QStringLiteral("Orders"));
        w.combo("ComboBox2").setEditText(QStringLiteral("amount"));
        w.click("Button1");
        QCOMPARE(w.columns(), 4);
        QVERIFY(w.text("mSelect").endsWith(QStringLiteral(",[Orders].[amount]\r\n")));
        QVERIFY(w.errors().empty());
    }

    void savedFilesAreByteForByteAndLoadKeepsTheCounts() {
        BuilderWindow w;
        QVERIFY(w.start());
        w.buildWorkedExample();
        const QString orders = w.path(QStringLiteral("orders"));
        w.save(orders);
        QCOMPARE(w.prompts->shown.back().kind, Kind::SaveFile);
        QCOMPARE(w.prompts->shown.back().text, QStringLiteral("table_name"));
        QCOMPARE(w.prompts->shown.back().filter, QStringLiteral("SQL Schemas|*.sql"));
        const QByteArray select = test::fileBytes(orders + ".sqlqws");
        const QByteArray from = test::fileBytes(orders + ".sqlqwf");
        const QByteArray where = test::fileBytes(orders + ".sqlqww");
        const QByteArray record = test::fileBytes(orders + ".sql");
        QCOMPARE(select, QByteArray("[Orders].[OrderID]\r\n,[Orders].[Amount]\r\n"
                                    ",[Customers].[Name]\r\n"));
        QCOMPARE(from, QByteArray("[Orders]\r\n,[Customers]\r\n"));
        QCOMPARE(where, QByteArray("[Orders].[CustID]=[Customers].[ID]"));
        QCOMPARE(record, workedStatement + "\r\n");
        QCOMPARE((std::vector<qsizetype>{select.size(), from.size(), where.size(), record.size()}),
                 (std::vector<qsizetype>{61, 24, 34, 141}));

        // Another query under another name: its record holds both statements, the first first;
        // an empty where box gives an empty file and no where clause. A name with an extension
        // keeps it.
        w.click("Button5");
        w.add(QStringLiteral("Customers"), QStringLiteral("Name"));
        const QString cust = w.path(QStringLiteral("cust.sql"));
        w.save(cust);
        const QByteArray second = "select [Customers].[Name]\r\n from [Customers]\r\n";
        QCOMPARE(test::fileBytes(cust + ".sql"), workedStatement + "\r\n" + second + "\r\n");
        QCOMPARE(test::fileBytes(cust + ".sqlqww"), QByteArray());
        QVERIFY(QFile::exists(cust + ".sqlqww"));
        QCOMPARE(test::fileBytes(orders + ".sql"), record);

        // After Reset and Load the boxes hold lines but the counts are 0: the next pick has no
        // comma and its table goes into the from box again.
        w.click("Button5");
        w.load(orders + ".sqlqws");
        QCOMPARE(w.prompts->shown.back().text, QString());
        QCOMPARE(w.prompts->shown.back().filter, QStringLiteral("Tablory Query|*.sqlqws"));
        QCOMPARE(w.text("mSelect").toLatin1(), select);
        QCOMPARE(w.text("mfrom").toLatin1(), from);
        QCOMPARE(w.text("mWhere").toLatin1(), where);
        QCOMPARE(w.columns(), 0);
        QCOMPARE(w.tables(), 0);
        w.add(QStringLiteral("Orders"), QStringLiteral("CustID"));
        QVERIFY(w.text("mSelect").endsWith(
            QStringLiteral("[Customers].[Name]\r\n[Orders].[CustID]\r\n")));
        QCOMPARE(w.text("mfrom"), QStringLiteral("[Orders]\r\n,[Customers]\r\n[Orders]\r\n"));
        QVERIFY(w.errors().empty());
    }

    void tableCreatorNamesCountForTheComma() {
        BuilderWindow w;
        QVERIFY(w.start());
        // A column the Table Creator accepted stays in the shared list.
        w.get<QLineEdit>("col_name").setText(QStringLiteral("ID"));
        w.click("btnFieldAdd");
        QCOMPARE(w.columns(), 1);
        w.add(QStringLiteral("Orders"), QStringLiteral("OrderID"));
        QCOMPARE(w.text("mSelect"), QStringLiteral(",[Orders].[OrderID]\r\n"));
        // A from entry follows TableList only.
        QCOMPARE(w.text("mfrom"), QStringLiteral("[Orders]\r\n"));
        QVERIFY(w.errors().empty());
    }

    void saveAndLoadFailuresAndCancels() {
        BuilderWindow w;
        QVERIFY(w.start());
        w.buildWorkedExample();
        // A cancelled save writes nothing and records nothing.
        w.save(std::nullopt);
        QVERIFY(!QFile::exists(QStringLiteral(".sqlqws")));
        QCOMPARE(w.text("hid"), QString());
        // A folder that does not exist: the first file fails, nothing is recorded.
        const QString missing = w.path(QStringLiteral("no/such/q"));
        w.save(missing);
        QCOMPARE(w.errors().size(), std::size_t{1});
        QVERIFY(w.errors()[0].startsWith(QStringLiteral("Cannot create file \"%1.sqlqws\". ")
                                             .arg(QDir::toNativeSeparators(missing))));
        QCOMPARE(w.text("hid"), QString());
        // A record file that cannot be written: the box files stay written, the statement
        // stays recorded, and the next save writes it again with the new one.
        const QString blocked = w.path(QStringLiteral("blocked"));
        QVERIFY(QDir().mkdir(blocked + ".sql"));
        w.save(blocked);
        QCOMPARE(w.errors().size(), std::size_t{2});
        QVERIFY(w.errors()[1].startsWith(QStringLiteral("Cannot create file \"%1.sql\". ")
                                             .arg(QDir::toNativeSeparators(blocked))));
        QCOMPARE(test::fileBytes(blocked + ".sqlqww"),
                 QByteArray("[Orders].[CustID]=[Customers].[ID]"));
        QCOMPARE(w.text("hid").toLatin1(), workedStatement + "\r\n");
        w.save(w.path(QStringLiteral("again")));
        QCOMPARE(test::fileBytes(w.path(QStringLiteral("again.sql"))),
                 workedStatement + "\r\n" + workedStatement + "\r\n");

        // A missing from file: the select box takes its new text, the others keep theirs.
        const QString base = w.path(QStringLiteral("part"));
        test::writeFile(base + ".sqlqws", "[T].[A]\n,[T].[B]");
        w.load(base + ".sqlqws");
        QCOMPARE(w.errors().size(), std::size_t{3});
        QCOMPARE(w.errors()[2], QStringLiteral("Cannot open file \"%1.sqlqwf\". No such file or "
                                               "directory.")
                                    .arg(QDir::toNativeSeparators(base)));
        QCOMPARE(w.text("mSelect"), QStringLiteral("[T].[A]\r\n,[T].[B]"));
        QCOMPARE(w.text("mfrom"), QStringLiteral("[Orders]\r\n,[Customers]\r\n"));
        QCOMPARE(w.text("mWhere"), QStringLiteral("[Orders].[CustID]=[Customers].[ID]"));
        // A cancelled load changes nothing; any chosen name loses its last letter.
        w.load(std::nullopt);
        QCOMPARE(w.text("mSelect"), QStringLiteral("[T].[A]\r\n,[T].[B]"));
        test::writeFile(base + ".txs", "s");
        test::writeFile(base + ".txf", "f\rg");
        test::writeFile(base + ".txw", "");
        w.load(base + ".txt");
        QCOMPARE(w.errors().size(), std::size_t{3});
        QCOMPARE(w.text("mSelect"), QStringLiteral("s"));
        QCOMPARE(w.text("mfrom"), QStringLiteral("f\r\ng"));
        QCOMPARE(w.text("mWhere"), QString());
        // A file longer than a box takes: the boxes read before it keep their new text.
        test::writeFile(base + ".txf", QByteArray(controls::memoCapacity + 1, 'x'));
        test::writeFile(base + ".txs", "t");
        w.load(base + ".txt");
        QCOMPARE(w.errors().back(), QStringLiteral("Text exceeds memo capacity."));
        QCOMPARE(w.text("mSelect"), QStringLiteral("t"));
        QCOMPARE(w.text("mfrom"), QStringLiteral("f\r\ng"));
    }

    void aPageShownWithoutADatabaseShowsTheErrorAndAnEmptyList() {
        test::DatabaseWindow w;
        QVERIFY(w.show());
        test::showWorkingPages(*w.form);
        w.form->setCurrentPage(window::Page::QueryBuilder);
        QCOMPARE(w.errors().size(), std::size_t{1});
        QVERIFY(w.form->tabSheet(window::Page::QueryBuilder).isVisible());
        QCOMPARE(w.get<QComboBox>("ComboBox1").count(), 0);
        QCOMPARE(w.get<QComboBox>("ComboBox1").currentText(), QStringLiteral("Select Table"));
    }

    void failingRunLeavesTheResultClosedAndTitlesSortTheBrowser() {
        BuilderWindow w;
        QVERIFY(w.start());
        w.buildWorkedExample();
        w.click("Button3");
        QCOMPARE(w.grid().model()->rowCount(), 3);

        // A title click re-sorts the browser's query, not this result.
        auto& browser = *w.form->findChild<browser::BrowserPage*>();
        w.dbtabs().setEditText(QStringLiteral("Orders"));
        emit w.grid().titleButtonClick(QStringLiteral("Amount"));
        QCOMPARE(browser.ADOQuery1.sql(), std::string("select * from [Orders] order by Amount"));
        QVERIFY(browser.ADOQuery1.active());
        QCOMPARE(w.page->ADODataSet1.commandText(), workedStatement.toStdString());

        // A where box of a lone blank still adds the clause, which the engine refuses.
        w.box("mWhere").setPlainText(QStringLiteral(" "));
        QVERIFY(w.page->queryStatement().endsWith(QStringLiteral(" where  ")));
        w.click("Button3");
        QCOMPARE(w.errors().size(), std::size_t{1});
        QVERIFY(!w.page->ADODataSet1.active());
        QCOMPARE(w.grid().model()->rowCount(), 0);
        // The boxes and lists keep what they had.
        QCOMPARE(w.columns(), 3);
        QCOMPARE(w.text("mWhere"), QStringLiteral(" "));
    }
};

QTEST_MAIN(QueryBuilderTest)
#include "QueryBuilderTest.moc"
