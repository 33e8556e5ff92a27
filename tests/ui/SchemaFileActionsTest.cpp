// "Export Schema" and "Import Schema" through the window: the dialogs they show, the files they
// write and read, cancelled dialogs, and their errors in the error box.
#include "CreatorHelpers.h"
#include "common/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using test::CreatorWindow;
using Kind = test::ScriptedPrompts::Kind;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class SchemaFileActionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }
    void init() {
        QVERIFY(dir_.emplace().isValid());
        window_ = std::make_unique<CreatorWindow>();
        QVERIFY(window_->showPage(window::Page::TableCreator));
    }
    void cleanup() {
        window_.reset();
        dir_.reset();
    }

    void exportProposesTheTableNameAndAddsTheExtension() {
        CreatorWindow& w = *window_;
        w.buildCustomersSchema();
        w.prompts->files.push_back(dir_->filePath(QStringLiteral("Customers")));
        w.click("btnSQLexp");
        QCOMPARE(w.prompts->shown.size(), std::size_t{1});
        QCOMPARE(w.prompts->shown[0].kind, Kind::SaveFile);
        QCOMPARE(w.prompts->shown[0].text, QStringLiteral("Customers"));
        QCOMPARE(w.prompts->shown[0].filter, QStringLiteral("SQL Schemas|*.sql"));
        QCOMPARE(bytesOf(dir_->filePath(QStringLiteral("Customers.sql"))),
                 QByteArray("create table Customers (\r\n[ID] counter,\r\n"
                            "[Name] text(50) not null)\r\n"));
    }

    void exportAlwaysAppendsTheExtension() {
        CreatorWindow& w = *window_;
        w.box("tablez").setPlainText(QStringLiteral("x"));
        w.prompts->files.push_back(QStringLiteral("  %1  ").arg(dir_->filePath("a.sql")));
        w.click("btnSQLexp");
        QCOMPARE(bytesOf(dir_->filePath(QStringLiteral("a.sql.sql"))), QByteArray("x"));
        QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("a.sql"))));
    }

    void exportReplacesAnExistingFileWithoutAQuestion() {
        CreatorWindow& w = *window_;
        const QString path = dir_->filePath(QStringLiteral("T.sql"));
        writeBytes(path, QByteArray(500, '#'));
        w.box("tablez").setPlainText(QStringLiteral("create table T (\n[A] date)\n"));
        w.prompts->files.push_back(dir_->filePath(QStringLiteral("T")));
        w.click("btnSQLexp");
        QCOMPARE(bytesOf(path), QByteArray("create table T (\r\n[A] date)\r\n"));
        QCOMPARE(w.prompts->shown.size(), std::size_t{1});
    }

    void cancelledExportWritesNothing() {
        CreatorWindow& w = *window_;
        w.buildCustomersSchema();
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_->path()));
        w.click("btnSQLexp"); // no answer queued: the dialog is cancelled
        QDir::setCurrent(previous);
        QCOMPARE(w.prompts->unanswered, 1);
        QVERIFY(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(w.prompts->texts(Kind::Error).empty());
    }

    void exportThenImportGivesTheSameText() {
        CreatorWindow& w = *window_;
        w.buildCustomersSchema();
        // Characters of the code page, typed by the user.
        w.box("tablez").moveCursor(QTextCursor::End);
        w.box("tablez").insertPlainText(QStringLiteral("-- Pre\u00e7o \u20ac \u201cok\u201d"));
        const QString exported = w.text("tablez");
        w.prompts->files.push_back(dir_->filePath(QStringLiteral("Customers")));
        w.click("btnSQLexp");
        QCOMPARE(bytesOf(dir_->filePath("Customers.sql")).right(15),
                 QByteArray("-- Pre\xe7o \x80 \x93ok\x94"));
        w.box("tablez").setPlainText(QStringLiteral("something else"));
        w.prompts->files.push_back(dir_->filePath(QStringLiteral("Customers.sql")));
        w.click("btnSQLimp");
        QCOMPARE(w.text("tablez"), exported);
        QVERIFY(w.prompts->texts(Kind::Error).empty());
    }

    void importShowsTheSchemaFilterAndTheLastName() {
        CreatorWindow& w = *window_;
        w.form->workspace().openDialog().fileName = dir_->filePath(QStringLiteral("last.mdb"));
        w.click("btnSQLimp");
        QCOMPARE(w.prompts->shown.size(), std::size_t{1});
        QCOMPARE(w.prompts->shown[0].kind, Kind::OpenFile);
        QCOMPARE(w.prompts->shown[0].filter, QStringLiteral("SQL Schemas|*.sql"));
        QCOMPARE(w.prompts->shown[0].text, dir_->filePath(QStringLiteral("last.mdb")));
        QCOMPARE(w.form->workspace().openDialog().filter, QStringLiteral("SQL Schemas|*.sql"));
    }

    void importMakesLineBreaksCrLfAndTouchesNothingElse() {
        CreatorWindow& w = *window_;
        w.buildCustomersSchema();
        const QString indexText = w.text("indexz");
        const QString path = dir_->filePath(QStringLiteral("unix.txt"));
        writeBytes(path, "create table Orders (\n[Customer] text(10),\n[Qty] integer)\n");
        w.prompts->files.push_back(path);
        w.click("btnSQLimp");
        QCOMPARE(w.text("tablez"), QStringLiteral("create table Orders (\r\n[Customer] text(10),"
                                                  "\r\n[Qty] integer)\r\n"));
        QCOMPARE(w.text("indexz"), indexText);
        QCOMPARE(w.edit("table_name").text(), QStringLiteral("Customers"));
        QCOMPARE(w.form->workspace().columnList().count(), 2);
        // The imported columns are not recorded: Qty can be added again.
        w.column("Qty", "INTEGER");
        w.click("btnFieldAdd");
        QVERIFY(w.text("tablez").endsWith(QStringLiteral("[Qty] integer)\r\n[Qty] integer,\r\n")));
        QVERIFY(w.prompts->texts(Kind::Information).empty());
    }

    void zeroByteFileEmptiesTheSchema() {
        CreatorWindow& w = *window_;
        w.buildCustomersSchema();
        const QString path = dir_->filePath(QStringLiteral("zero.sql"));
        writeBytes(path, "");
        w.prompts->files.push_back(path);
        w.click("btnSQLimp");
        QCOMPARE(w.text("tablez"), QString());
    }

    void cancelledImportReadsNothing() {
        CreatorWindow& w = *window_;
        const QString path = dir_->filePath(QStringLiteral("first.sql"));
        writeBytes(path, "from the file");
        w.prompts->files.push_back(path);
        w.click("btnSQLimp");
        QCOMPARE(w.text("tablez"), QStringLiteral("from the file"));
        w.box("tablez").setPlainText(QStringLiteral("edited since"));
        w.click("btnSQLimp"); // cancelled
        QCOMPARE(w.text("tablez"), QStringLiteral("edited since"));
        // The dialog keeps the name for next time.
        QCOMPARE(w.form->workspace().openDialog().fileName, path);
        QCOMPARE(w.prompts->shown.back().text, path);
        QVERIFY(w.prompts->texts(Kind::Error).empty());
    }

    void missingFileIsAnError() {
        CreatorWindow& w = *window_;
        w.box("tablez").setPlainText(QStringLiteral("kept"));
        const QString path = dir_->filePath(QStringLiteral("typed-name.sql"));
        w.prompts->files.push_back(path);
        w.click("btnSQLimp");
        const std::vector<QString> errors = w.prompts->texts(Kind::Error);
        QCOMPARE(errors.size(), std::size_t{1});
        const QString start =
            QStringLiteral("Cannot open file \"%1\". ").arg(QDir::toNativeSeparators(path));
        QVERIFY2(errors[0].startsWith(start) && errors[0].size() > start.size() + 1,
                 qPrintable(errors[0]));
        QVERIFY(errors[0].endsWith(QLatin1Char('.')));
        QCOMPARE(w.text("tablez"), QStringLiteral("kept"));
    }

    void uncreatableFileIsAnError() {
        CreatorWindow& w = *window_;
        w.box("tablez").setPlainText(QStringLiteral("kept"));
        const QString chosen = dir_->filePath(QStringLiteral("no/such/folder/T"));
        w.prompts->files.push_back(chosen);
        w.click("btnSQLexp");
        const std::vector<QString> errors = w.prompts->texts(Kind::Error);
        QCOMPARE(errors.size(), std::size_t{1});
        QVERIFY2(errors[0].startsWith(QStringLiteral("Cannot create file \"%1.sql\". ")
                                          .arg(QDir::toNativeSeparators(chosen))),
                 qPrintable(errors[0]));
        QCOMPARE(w.text("tablez"), QStringLiteral("kept"));
    }

    void aFailedExportKeepsTheOldFile() {
        CreatorWindow& w = *window_;
        const QString path = dir_->filePath(QStringLiteral("Orders.sql"));
        const QByteArray old("create table Orders (ID counter)\r\n");
        writeBytes(path, old);
        w.box("tablez").setPlainText(QString(8192, QLatin1Char('x')));
        w.prompts->files.push_back(dir_->filePath(QStringLiteral("Orders")));
        {
            // As on a full disk: the new text does not fit.
            const testing_support::FileSizeLimit full(1024);
            w.click("btnSQLexp");
        }
        const std::vector<QString> errors = w.prompts->texts(Kind::Error);
        QCOMPARE(errors.size(), std::size_t{1});
        QVERIFY2(
            errors[0].startsWith(
                QStringLiteral("Cannot create file \"%1\". ").arg(QDir::toNativeSeparators(path))),
            qPrintable(errors[0]));
        QCOMPARE(bytesOf(path), old);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Orders.sql")});
    }

    void tooLongForTheBoxIsAnError() {
        CreatorWindow& w = *window_;
        w.box("tablez").setPlainText(QStringLiteral("kept"));
        const QString path = dir_->filePath(QStringLiteral("huge.sql"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(controls::memoCapacity + 1));
        file.close();
        w.prompts->files.push_back(path);
        w.click("btnSQLimp");
        QCOMPARE(w.prompts->texts(Kind::Error),
                 std::vector<QString>{QStringLiteral("Text exceeds memo capacity.")});
        QCOMPARE(w.text("tablez"), QStringLiteral("kept"));
    }

private:
    std::optional<QTemporaryDir> dir_;
    std::unique_ptr<CreatorWindow> window_;
};

QTEST_MAIN(SchemaFileActionsTest)
#include "SchemaFileActionsTest.moc"
