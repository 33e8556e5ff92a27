// Compact Database: the file confirmed in the open dialog is compacted into "TEMP" + its name
// beside it, which then replaces it in one step. Failures of the compaction show the
// engine's words in an information box and leave the file as it was; the window's connection
// is never touched.
#include "DatabaseHelpers.h"
#include "ProgressWatch.h"
#include "data/TADOCommand.h"
#include "data/TADOConnection.h"
#include "jet/file/OsFile.h"

#include <QPushButton>

#include <algorithm>
#include <set>

using test::DatabaseWindow;
using Kind = test::ScriptedPrompts::Kind;

namespace {

void execute(const QString& file, const std::string& statement) {
    data::TADOConnection connection;
    connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
                                   test::fsPath(file).string());
    data::TADOCommand command;
    command.setConnection(&connection);
    command.setCommandText(statement);
    command.execute();
}

// A file with room to gain: a table of `kept` rows and the pages of a dropped one.
void makeLooseFile(const QString& file, int kept = 100) {
    test::makeDatabase(file, {{"Kept", kept}, {"Gone", 3000}});
    execute(file, "drop table Gone");
}

std::uint32_t rowCount(const QString& file, const std::string& table) {
    return jet::Database::open(test::fsPath(file))->table(table).schema().rowCount;
}

} // namespace

class CompactDatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }
    void init() {
        w_ = std::make_unique<DatabaseWindow>();
        QVERIFY(w_->scratch.isValid());
        QVERIFY(w_->show());
    }
    void cleanup() { w_.reset(); }

    void aFileInAFolderIsCompactedInPlace() {
        DatabaseWindow& w = *w_;
        QVERIFY(QDir(w.scratch.path()).mkdir("data"));
        const QString folder = w.path("data");
        const QString file = w.path("data/shop.mdb");
        makeLooseFile(file, 5000);
        const qint64 sizeBefore = QFileInfo(file).size();

        test::ProgressWatch watch;
        std::set<QString> seenInFolder;
        watch.onEveryPass = [&] {
            for (const QString& name : test::filesIn(folder)) seenInFolder.insert(name);
        };
        std::size_t promptsWhileBusy = 0;
        watch.whileShown = [&](controls::ProgressDialog&) {
            const std::size_t shown = w.prompts->shown.size();
            QTest::mouseClick(&w.get<QPushButton>("btnO"), Qt::LeftButton);
            w.get<QPushButton>("btnO").click();
            w.get<QPushButton>("N").click();
            w.get<QPushButton>("Button7").click();
            promptsWhileBusy = w.prompts->shown.size() - shown;
        };
        w.dbname().setText(QStringLiteral("typed"));
        w.compact(file);

        QCOMPARE(w.prompts->shown.size(), std::size_t{1});
        QCOMPARE(w.prompts->shown[0].kind, Kind::OpenFile);
        QCOMPARE(w.prompts->shown[0].filter, QStringLiteral("Access Databases|*.mdb"));
        QCOMPARE(w.dbname().text(), file);
        // Only the file is left, smaller, under its own name, with every row.
        QCOMPARE(test::filesIn(folder), QStringList{"shop.mdb"});
        QVERIFY2(QFileInfo(file).size() < sizeBefore,
                 qPrintable(QString::number(QFileInfo(file).size())));
        QCOMPARE(rowCount(file, "Kept"), std::uint32_t{5000});
        QVERIFY(!jet::Database::open(test::fsPath(file))->hasTable("Gone"));
        // The copy was written beside the file, under the TEMP name (the engine writes it with
        // a suffix of its own until it is complete).
        QVERIFY(std::any_of(seenInFolder.begin(), seenInFolder.end(), [](const QString& name) {
            return name.startsWith(QStringLiteral("TEMPshop.mdb"));
        }));
        // The progress box showed, modal, fed by the engine to the end; nothing else started.
        QCOMPARE(watch.texts, QStringList{"Compacting " + file + "..."});
        QVERIFY(watch.alwaysModal);
        QVERIFY(std::is_sorted(watch.positions.begin(), watch.positions.end()));
        QCOMPARE(watch.positions.back(), controls::ProgressDialog::barMaximum);
        QVERIFY(std::set<int>(watch.positions.begin(), watch.positions.end()).size() > 3);
        QCOMPARE(promptsWhileBusy, std::size_t{0});
        // The connection was left alone, and so were the tabs.
        QVERIFY(!w.form->workspace().connection().connected());
        QCOMPARE(w.form->workspace().connection().connectionString(), std::string());
        QCOMPARE(w.tabs(), QStringList{"Database"});
    }

    void aLeftoverCopyIsDeletedFirst() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("shop.mdb");
        makeLooseFile(file);
        test::writeFile(w.path("TEMPshop.mdb"), "left over by a failed run");
        w.compact(file);
        QVERIFY(w.informations().empty());
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{"shop.mdb"});
        QCOMPARE(rowCount(file, "Kept"), std::uint32_t{100});
    }

    void theFileOpenInTheWindowIsNotCompacted() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("open.mdb");
        makeLooseFile(file);
        w.open(file);
        QVERIFY(w.form->workspace().connection().connected());
        const QByteArray before = test::fileBytes(file);
        w.compact(file);
        QCOMPARE(w.informations(),
                 std::vector<QString>{"Could not use '" + file + "'; file already in use."});
        QVERIFY(w.errors().empty());
        QCOMPARE(test::fileBytes(file), before);
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{"open.mdb"});
        QCOMPARE(w.dbname().text(), file);
        // The connection goes on working.
        QVERIFY(w.form->workspace().connection().connected());
        w.form->workspace().command().execute("insert into Kept (Name) values ('one more')");
        w.form->workspace().connection().close();
        QCOMPARE(rowCount(file, "Kept"), std::uint32_t{101});
    }

    void aFileLockedByAnotherProcessIsNotCompacted() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("locked.mdb");
        makeLooseFile(file);
        const QByteArray before = test::fileBytes(file);
        {
            // A writer's handle, as another program holds it: the lock belongs to the handle,
            // so it stops this process's compaction as it stops another's.
            jet::OsFile writer(file.toStdString(), jet::OsFile::Mode::ReadWrite);
            QVERIFY(writer.tryLock(jet::OsFile::LockRange::Writer, jet::OsFile::Lock::Exclusive));
            w.compact(file);
        }

        QCOMPARE(w.informations(),
                 std::vector<QString>{"Could not use '" + file + "'; file already in use."});
        QCOMPARE(test::fileBytes(file), before);
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{"locked.mdb"});
        QCOMPARE(w.dbname().text(), file);
    }

    void aFileThatIsNotADatabase() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("notes.mdb");
        const QByteArray junk(8192, 'j');
        test::writeFile(file, junk);
        w.compact(file);
        // The engine's text as it is, in an information box, not the error box.
        QCOMPARE(w.informations(),
                 std::vector<QString>{"Unrecognized database format '" + file + "'."});
        QVERIFY(w.errors().empty());
        QCOMPARE(test::fileBytes(file), junk);
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{"notes.mdb"});
        QCOMPARE(w.dbname().text(), file);
    }

    void aNameWithNoFile() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("nothing.mdb");
        w.compact(file);
        QCOMPARE(w.informations().size(), std::size_t{1});
        QVERIFY2(w.informations()[0].contains(file), qPrintable(w.informations()[0]));
        QVERIFY(w.errors().empty());
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{});
        QCOMPARE(w.dbname().text(), file);
    }

    void aPasswordProtectedFileWithoutItsPassword_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("wrong") << QStringLiteral("PW");
    }
    void aPasswordProtectedFileWithoutItsPassword() {
        QFETCH(QString, typed);
        DatabaseWindow& w = *w_;
        const QString file = w.path("secret.mdb");
        test::makeDatabase(file, {{"T", 5}}, "pw");
        const QByteArray before = test::fileBytes(file);
        w.dbpass().setText(typed);
        w.compact(file);
        QCOMPARE(w.informations(), std::vector<QString>{"Not a valid password."});
        QCOMPARE(test::fileBytes(file), before);
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{"secret.mdb"});
    }

    void aPasswordProtectedFileWithThePasswordTypedForOpen() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("secret.mdb");
        test::makeDatabase(file, {{"Kept", 100}, {"Gone", 3000}}, "pw");
        {
            data::TADOConnection connection;
            connection.setConnectionString(
                "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + test::fsPath(file).string() +
                ";Jet OLEDB:Database Password=pw");
            data::TADOCommand command;
            command.setConnection(&connection);
            command.setCommandText("drop table Gone");
            command.execute();
        }
        const qint64 sizeBefore = QFileInfo(file).size();
        w.dbpass().setText(QStringLiteral("pw"));
        w.compact(file);
        QVERIFY(w.informations().empty());
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{"secret.mdb"});
        QVERIFY(QFileInfo(file).size() < sizeBefore);
        // The copy keeps the password.
        w.dbpass().clear();
        w.open(file);
        QCOMPARE(w.errors(), std::vector<QString>{"Not a valid password."});
        w.dbpass().setText(QStringLiteral("pw"));
        w.open(file);
        QCOMPARE(w.errors().size(), std::size_t{1});
        QCOMPARE(w.listedTables(), QStringList{"Kept"});
    }

    void aCancelStopsTheAction() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("shop.mdb");
        makeLooseFile(file);
        const QByteArray before = test::fileBytes(file);
        // The dialog still holds the file an earlier action confirmed in it.
        w.form->workspace().openDialog().fileName = file;
        w.dbname().setText(QStringLiteral("typed"));
        w.compact(std::nullopt);
        QCOMPARE(w.prompts->shown.size(), std::size_t{1});
        QCOMPARE(w.prompts->shown[0].text, file);
        QCOMPARE(w.dbname().text(), QStringLiteral("typed"));
        QCOMPARE(test::fileBytes(file), before);
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{"shop.mdb"});
    }

    void aReadOnlyFileKeepsItsPlace() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("kept.mdb");
        makeLooseFile(file);
        const QByteArray before = test::fileBytes(file);
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ReadOther));
        w.compact(file);
        QVERIFY(w.prompts->texts(Kind::Information).empty());
        QVERIFY(w.errors().empty());
        QCOMPARE(test::fileBytes(file), before);
        // The compacted copy stays beside it.
        QCOMPARE(test::filesIn(w.scratch.path()), (QStringList{"TEMPkept.mdb", "kept.mdb"}));
        QCOMPARE(rowCount(w.path("TEMPkept.mdb"), "Kept"), std::uint32_t{100});
    }

    void anotherFileStaysOpenInTheWindow() {
        DatabaseWindow& w = *w_;
        const QString opened = w.path("opened.mdb");
        const QString compacted = w.path("compacted.mdb");
        test::makeDatabase(opened, {{"Orders", 1}});
        makeLooseFile(compacted);
        w.open(opened);
        const std::string connectionString = w.form->workspace().connection().connectionString();
        w.compact(compacted);
        QVERIFY(w.informations().empty());
        QVERIFY(w.form->workspace().connection().connected());
        QCOMPARE(w.form->workspace().connection().connectionString(), connectionString);
        QCOMPARE(w.listedTables(), QStringList{"Orders"});
        QCOMPARE(w.dbname().text(), compacted);
        w.form->workspace().command().execute("insert into Orders (Name) values ('x')");
        w.form->workspace().connection().close();
        QCOMPARE(rowCount(opened, "Orders"), std::uint32_t{2});
    }

private:
    std::unique_ptr<DatabaseWindow> w_;
};

QTEST_MAIN(CompactDatabaseTest)
#include "CompactDatabaseTest.moc"
