// Open: the shared open dialog's answer (or its kept name after a cancel) goes to dbname, the
// window's connection opens on it with the password typed in dbpass, the browser's table list
// fills, and the other four tabs show. Failures show the provider's text and change no tab.
#include "DatabaseHelpers.h"
#include "ProgressWatch.h"
#include "jet/file/PageFile.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <sys/wait.h>
#include <unistd.h>

using test::DatabaseWindow;
using Kind = test::ScriptedPrompts::Kind;

namespace {

const QString filter = QStringLiteral("Access Databases|*.mdb");

QString openString(const QString& path, const QString& password) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
           QStringLiteral(";Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password=") + password;
}

// Leaves the file as a crash in the middle of a commit leaves it: a child process appends a
// page and dies at the commit point, with its journal beside the file.
bool interruptAChange(const QString& path) {
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        auto pages = jet::PageFile::open(test::fsPath(path), jet::PageFile::Access::ReadWrite);
        pages->setFaultHook([](jet::CommitStep step, std::uint32_t) {
            if (step == jet::CommitStep::VoidJournal) ::_exit(0);
        });
        pages->begin();
        pages->append(jet::PageBytes{});
        pages->commit();
        ::_exit(1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

class OpenDatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }
    void init() {
        w_ = std::make_unique<DatabaseWindow>();
        QVERIFY(w_->scratch.isValid());
        QVERIFY(w_->show());
    }
    void cleanup() { w_.reset(); }

    void theTableSelectorWaitsOnTheBrowserPage() {
        DatabaseWindow& w = *w_;
        QComboBox& dbtabs = w.dbtabs();
        QCOMPARE(dbtabs.parentWidget(), &w.get<QWidget>("TableBrowserPage"));
        QCOMPARE(dbtabs.parentWidget()->parentWidget(), &w.get<QWidget>("TabSheet2"));
        QCOMPARE(dbtabs.geometry(), QRect(0, 1, 305, 21));
        QVERIFY(dbtabs.isEditable());
        QCOMPARE(dbtabs.currentText(), QStringLiteral("Select Table"));
        QCOMPARE(dbtabs.count(), 0);
        // Typing a name and pressing Enter does not add it to the list.
        QCOMPARE(dbtabs.insertPolicy(), QComboBox::NoInsert);
    }

    void opensTheChosenFileAndShowsEveryTab() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("shop.mdb");
        test::makeDatabase(file, {{"Orders", 2}, {"customers", 1}, {"Beta", 0}});
        int pageChanges = 0;
        test::PageNotices notices(*w.form);
        notices.changed = [&] { ++pageChanges; };
        QVERIFY(w.form->workspace().connection().loginPrompt());
        w.dbname().setText(QStringLiteral("typed over"));

        w.open(file);
        QVERIFY(w.errors().empty());
        QVERIFY(w.informations().empty());
        QCOMPARE(w.prompts->shown.size(), std::size_t{1});
        QCOMPARE(w.prompts->shown[0].kind, Kind::OpenFile);
        QCOMPARE(w.prompts->shown[0].filter, filter);
        QCOMPARE(w.dbname().text(), file);
        QVERIFY(w.form->workspace().connection().connected());
        QCOMPARE(QString::fromStdString(w.form->workspace().connection().connectionString()),
                 openString(file, QString()));
        QVERIFY(!w.form->workspace().connection().loginPrompt());
        // The access layer's order: tables by name without regard to case.
        QCOMPARE(w.listedTables(), (QStringList{"Beta", "customers", "Orders"}));
        QCOMPARE(w.dbtabs().currentText(), QStringLiteral("Select Table"));
        QCOMPARE(w.tabs(), test::allTabs);
        QCOMPARE(w.get<QTabWidget>("Book").currentWidget(), &w.get<QWidget>("TabSheet3"));
        QCOMPARE(pageChanges, 0);
    }

    void aCancelledFirstOpenFailsOnTheEmptyName() {
        DatabaseWindow& w = *w_;
        w.open(std::nullopt);
        QCOMPARE(w.prompts->shown.at(0).text, QString()); // the dialog held no name
        QCOMPARE(w.dbname().text(), QString());
        QCOMPARE(w.errors().size(), std::size_t{1});
        QVERIFY(!w.errors()[0].isEmpty());
        QVERIFY(!w.form->workspace().connection().connected());
        QCOMPARE(QString::fromStdString(w.form->workspace().connection().connectionString()),
                 openString(QString(), QString()));
        QCOMPARE(w.tabs(), QStringList{"Database"});
        QCOMPARE(w.dbtabs().count(), 0);
    }

    void aCancelAfterAConfirmedFileOpensItAgain() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("shop.mdb");
        test::makeDatabase(file, {{"Orders", 1}});
        w.open(file);
        QVERIFY(w.form->workspace().connection().connected());
        w.dbname().setText(QStringLiteral("something else"));
        w.open(std::nullopt);
        QCOMPARE(w.prompts->shown.at(1).text, file); // the dialog kept its name
        QCOMPARE(w.dbname().text(), file);
        QVERIFY(w.errors().empty());
        QVERIFY(w.form->workspace().connection().connected());
        QCOMPARE(w.listedTables(), QStringList{"Orders"});
    }

    void aPasswordProtectedFile() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("locked.mdb");
        test::makeDatabase(file, {{"Secrets", 1}}, "s3cret");

        w.dbpass().setText(QString());
        w.open(file);
        QCOMPARE(w.errors(), std::vector<QString>{"Not a valid password."});
        QVERIFY(!w.form->workspace().connection().connected());
        // The password item is sent even when empty.
        QCOMPARE(QString::fromStdString(w.form->workspace().connection().connectionString()),
                 openString(file, QString()));
        QCOMPARE(w.tabs(), QStringList{"Database"});

        w.dbpass().setText(QStringLiteral("S3CRET"));
        w.open(file);
        QCOMPARE(w.errors().size(), std::size_t{2});
        QCOMPARE(w.errors()[1], QStringLiteral("Not a valid password."));
        QVERIFY(!w.form->workspace().connection().connected());
        QCOMPARE(w.tabs(), QStringList{"Database"});
        QCOMPARE(w.dbtabs().count(), 0);

        w.dbpass().setText(QStringLiteral("s3cret"));
        w.open(file);
        QCOMPARE(w.errors().size(), std::size_t{2});
        QVERIFY(w.form->workspace().connection().connected());
        QCOMPARE(QString::fromStdString(w.form->workspace().connection().connectionString()),
                 openString(file, QStringLiteral("s3cret")));
        QCOMPARE(w.listedTables(), QStringList{"Secrets"});
        QCOMPARE(w.tabs(), test::allTabs);
    }

    void aSecondFileReplacesTheFirst() {
        DatabaseWindow& w = *w_;
        const QString first = w.path("first.mdb");
        const QString second = w.path("second.mdb");
        test::makeDatabase(first, {{"One", 1}});
        test::makeDatabase(second, {{"Two", 1}, {"Three", 1}});
        w.open(first);
        QCOMPARE(w.listedTables(), QStringList{"One"});
        w.open(second);
        QVERIFY(w.errors().empty());
        QCOMPARE(w.dbname().text(), second);
        QCOMPARE(w.listedTables(), (QStringList{"Three", "Two"}));
        // The first file was let go: another writer may open it now.
        auto other = jet::Database::open(test::fsPath(first), {}, jet::OpenMode::ReadWrite);
        QVERIFY(other->writable());
        other.reset();
        // And the pages work on the second one.
        w.form->workspace().command().execute("insert into Two (Name) values ('added')");
        // A reader waits for the window to let go of the file.
        w.form->workspace().connection().close();
        QCOMPARE(jet::Database::open(test::fsPath(second))->table("Two").schema().rowCount,
                 std::uint32_t{2});
    }

    void aFailedOpenKeepsTheListAndTheTabs() {
        DatabaseWindow& w = *w_;
        const QString good = w.path("good.mdb");
        test::makeDatabase(good, {{"Kept", 1}});
        w.open(good);
        const QString junk = w.path("junk.mdb");
        test::writeFile(junk, QByteArray(4096, 'x'));
        w.dbtabs().setEditText(QStringLiteral("Kept"));
        w.open(junk);
        QCOMPARE(w.errors(), std::vector<QString>{"Unrecognized database format '" + junk + "'."});
        QCOMPARE(w.dbname().text(), junk);
        QVERIFY(!w.form->workspace().connection().connected());
        QCOMPARE(w.listedTables(), QStringList{"Kept"});
        QCOMPARE(w.dbtabs().currentText(), QStringLiteral("Kept"));
        QCOMPARE(w.tabs(), test::allTabs);

        const QString missing = w.path("missing.mdb");
        w.open(missing);
        QCOMPARE(w.errors().size(), std::size_t{2});
        QVERIFY2(w.errors()[1].contains(missing), qPrintable(w.errors()[1]));
        QVERIFY(!QFileInfo::exists(missing));
    }

    void theListIsNotTouchedBySettingItsText() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("shop.mdb");
        test::makeDatabase(file, {{"A", 0}, {"B", 0}});
        QSignalSpy edits(&w.dbtabs(), &QComboBox::editTextChanged);
        QSignalSpy index(&w.dbtabs(), &QComboBox::currentIndexChanged);
        w.open(file);
        QCOMPARE(w.listedTables(), (QStringList{"A", "B"}));
        QCOMPARE(edits.count(), 0);
        QCOMPARE(index.count(), 0);
    }

    void aTableMadeLaterIsListedAfterTheNextOpen() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("shop.mdb");
        test::makeDatabase(file, {{"Old", 0}});
        w.open(file);
        // The SQL console runs on the connection Open made.
        w.form->setCurrentPage(window::Page::ExecuteSql);
        w.get<QPlainTextEdit>("Memo1").setPlainText(QStringLiteral("create table New (x long)"));
        QTest::mouseClick(&w.get<QPushButton>("Button6"), Qt::LeftButton);
        QVERIFY(w.errors().empty());
        QCOMPARE(w.listedTables(), QStringList{"Old"});
        w.open(std::nullopt);
        QCOMPARE(w.listedTables(), (QStringList{"New", "Old"}));
    }

    void theCommandBeforeAnyOpen() {
        DatabaseWindow& w = *w_;
        try {
            w.form->workspace().command().execute("");
            QFAIL("an empty text was executed");
        } catch (const std::exception& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("ADOCommand1: Missing CommandText property"));
        }
        // The connection tries the string it holds, which is empty until Open, and fails.
        bool failed = false;
        try {
            w.form->workspace().command().execute("create table T (x long)");
        } catch (const std::exception&) {
            failed = true;
        }
        QVERIFY(failed);
        QVERIFY(!w.form->workspace().connection().connected());
    }

    void aFileLeftHalfChangedIsRolledBackAndSaysSo() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("crashed.mdb");
        test::makeDatabase(file, {{"Safe", 3}});
        const QByteArray before = test::fileBytes(file);
        QVERIFY(interruptAChange(file));
        QVERIFY(QFileInfo::exists(file + "-journal"));
        QVERIFY(test::fileBytes(file) != before);

        test::ProgressWatch watch;
        std::size_t promptsWhileBusy = 0;
        watch.whileShown = [&](controls::ProgressDialog&) {
            // Nothing else starts while the file is being recovered.
            const std::size_t shown = w.prompts->shown.size();
            w.get<QPushButton>("btnO").click();
            w.get<QPushButton>("N").click();
            w.get<QPushButton>("Button7").click();
            promptsWhileBusy = w.prompts->shown.size() - shown;
        };
        w.open(file);
        QVERIFY(w.errors().empty());
        QCOMPARE(watch.texts, QStringList{"Rolling back an interrupted change to " + file + "..."});
        QVERIFY(watch.alwaysModal);
        QCOMPARE(promptsWhileBusy, std::size_t{0});
        QCOMPARE(w.informations(),
                 std::vector<QString>{"The last change to " + file +
                                      " was interrupted; it has been rolled back."});
        QVERIFY(w.form->workspace().connection().connected());
        QCOMPARE(w.listedTables(), QStringList{"Safe"});
        QVERIFY(!QFileInfo::exists(file + "-journal"));
        QCOMPARE(test::fileBytes(file), before);
        QCOMPARE(w.tabs(), test::allTabs);
    }

    void aCleanFileShowsNoProgressAndNoMessage() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("clean.mdb");
        test::makeDatabase(file, {{"T", 1}});
        test::ProgressWatch watch;
        w.open(file);
        QCOMPARE(watch.passes, 0);
        QVERIFY(w.informations().empty());
    }

private:
    std::unique_ptr<DatabaseWindow> w_;
};

QTEST_MAIN(OpenDatabaseTest)
#include "OpenDatabaseTest.moc"
