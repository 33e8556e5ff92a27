// Create New: the missing folders of the path in dbname, then an empty Jet 4 file with the
// password in dbpass, "New Database Created" and every tab; an existing file only gets "File
// Already Exists". The window's connection is never touched.
#include "DatabaseHelpers.h"

#include <QPlainTextEdit>
#include <QPushButton>

using test::DatabaseWindow;

class CreateDatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }
    void init() {
        w_ = std::make_unique<DatabaseWindow>();
        QVERIFY(w_->scratch.isValid());
        QVERIFY(w_->show());
    }
    void cleanup() { w_.reset(); }

    void missingFoldersAreMadeFirst() {
        DatabaseWindow& w = *w_;
        int pageChanges = 0;
        test::PageNotices notices(*w.form);
        notices.changed = [&] { ++pageChanges; };
        const QString file = w.path("file_path/deeper/database_name.mdb");
        w.createNew(file);
        QVERIFY(w.errors().empty());
        QCOMPARE(w.informations(), std::vector<QString>{"New Database Created"});
        QVERIFY(QFileInfo(file).isFile());
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{"file_path"});
        QCOMPARE(test::filesIn(w.path("file_path")), QStringList{"deeper"});
        QCOMPARE(w.tabs(), test::allTabs);
        QCOMPARE(w.get<QTabWidget>("Book").currentWidget(), &w.get<QWidget>("TabSheet3"));
        QCOMPARE(pageChanges, 0);
        // An empty Jet 4 file that opens without a password.
        auto db = jet::Database::open(test::fsPath(file));
        QVERIFY(db->tableNames().empty());
        // The connection was left alone.
        QVERIFY(!w.form->workspace().connection().connected());
        QCOMPARE(w.form->workspace().connection().connectionString(), std::string());
        QVERIFY(w.form->workspace().connection().loginPrompt());
        QCOMPARE(w.dbtabs().count(), 0);
        QCOMPARE(w.dbname().text(), file);
    }

    void withEveryFolderPresent() {
        DatabaseWindow& w = *w_;
        QVERIFY(QDir(w.scratch.path()).mkpath("a/b"));
        const QString file = w.path("a/b/x.mdb");
        w.createNew(file);
        QCOMPARE(w.informations(), std::vector<QString>{"New Database Created"});
        QCOMPARE(test::filesIn(w.path("a")), QStringList{"b"});
        QCOMPARE(test::filesIn(w.path("a/b")), QStringList{"x.mdb"});
    }

    void anExistingFileIsLeftAlone() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("there.mdb");
        test::makeDatabase(file, {{"Precious", 2}});
        const QByteArray before = test::fileBytes(file);
        w.createNew(file, QStringLiteral("pw"));
        QCOMPARE(w.informations(), std::vector<QString>{"File Already Exists"});
        QVERIFY(w.errors().empty());
        QCOMPARE(test::fileBytes(file), before);
        QCOMPARE(w.tabs(), QStringList{"Database"});
    }

    void aPasswordGivenOnCreateIsNeededToOpen() {
        DatabaseWindow& w = *w_;
        const QString file = w.path("locked.mdb");
        w.createNew(file, QStringLiteral("open sesame"));
        QCOMPARE(w.informations(), std::vector<QString>{"New Database Created"});
        w.dbpass().clear();
        w.open(file);
        QCOMPARE(w.errors(), std::vector<QString>{"Not a valid password."});
        QVERIFY(!w.form->workspace().connection().connected());
        w.dbpass().setText(QStringLiteral("open sesame"));
        w.open(file);
        QCOMPARE(w.errors().size(), std::size_t{1});
        QVERIFY(w.form->workspace().connection().connected());
        QCOMPARE(w.dbtabs().count(), 0);
    }

    void createNewAfterOpenLeavesTheOpenFileWorking() {
        DatabaseWindow& w = *w_;
        const QString opened = w.path("opened.mdb");
        test::makeDatabase(opened, {{"Orders", 1}});
        w.open(opened);
        const std::string connectionString = w.form->workspace().connection().connectionString();
        const QString created = w.path("created.mdb");
        w.createNew(created);
        QCOMPARE(w.informations(), std::vector<QString>{"New Database Created"});
        QVERIFY(w.form->workspace().connection().connected());
        QCOMPARE(w.form->workspace().connection().connectionString(), connectionString);
        QCOMPARE(w.listedTables(), QStringList{"Orders"});
        // The Table Creator still works on the file opened before.
        w.form->setCurrentPage(window::Page::TableCreator);
        w.get<QPlainTextEdit>("tablez").setPlainText(QStringLiteral("create table Made (x long)"));
        QTest::mouseClick(&w.get<QPushButton>("btnExecuteSQL"), Qt::LeftButton);
        QVERIFY(w.errors().empty());
        QCOMPARE(w.informations().back(), QStringLiteral("Table Created/Altered"));
        w.form->workspace().connection().close();
        QVERIFY(jet::Database::open(test::fsPath(opened))->hasTable("Made"));
        QVERIFY(!jet::Database::open(test::fsPath(created))->hasTable("Made"));
    }

    void aCatalogErrorShowsTheProviderText() {
        DatabaseWindow& w = *w_;
        // A path that ends at a separator names a folder, not a file: the folder is made, the
        // file cannot be.
        const QString folder = w.path("only_a_folder") + QDir::separator();
        w.createNew(folder);
        QVERIFY(w.informations().empty());
        QCOMPARE(w.errors().size(), std::size_t{1});
        QVERIFY2(w.errors()[0].contains(QStringLiteral("only_a_folder")),
                 qPrintable(w.errors()[0]));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(w.tabs(), QStringList{"Database"});
    }

    void theOtherSeparatorMakesNoFolder() {
        DatabaseWindow& w = *w_;
        const QChar other =
            QDir::separator() == QLatin1Char('/') ? QLatin1Char('\\') : QLatin1Char('/');
        const QString name = QStringLiteral("sub") + other + QStringLiteral("x.mdb");
#ifdef Q_OS_WIN
        // On Windows "/" separates folders for the file system too: the missing folder makes
        // the catalog fail.
        w.createNew(w.path(name));
        QCOMPARE(w.errors().size(), std::size_t{1});
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{});
#else
        // Elsewhere "\" is part of a name: the file is made under that name, and no folder.
        w.createNew(w.path(name));
        QCOMPARE(w.informations(), std::vector<QString>{"New Database Created"});
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{name});
        QVERIFY(QFileInfo(w.scratch.filePath(name)).isFile());
#endif
    }

    void aNameWithoutFoldersGoesToTheProviderAsItIs() {
        DatabaseWindow& w = *w_;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(w.scratch.path()));
        w.createNew(QStringLiteral("plain.mdb"));
        QDir::setCurrent(before);
        QCOMPARE(w.informations(), std::vector<QString>{"New Database Created"});
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{"plain.mdb"});
    }

    void shortPrefixesAreNotMade() {
        DatabaseWindow& w = *w_;
        // Relative to the current folder: "zq" and "zqx" with their separator are three and
        // four characters long and are not made, so the catalog finds no folder; "zqxy" with
        // its separator is five and is made.
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(w.scratch.path()));
        const QString sep = QDir::separator();
        w.createNew(QStringLiteral("zq") + sep + QStringLiteral("x.mdb"));
        w.createNew(QStringLiteral("zqx") + sep + QStringLiteral("x.mdb"));
        w.createNew(QStringLiteral("zqxy") + sep + QStringLiteral("x.mdb"));
        QDir::setCurrent(before);
        QCOMPARE(w.errors().size(), std::size_t{2});
        QCOMPARE(w.informations(), std::vector<QString>{"New Database Created"});
        QCOMPARE(test::filesIn(w.scratch.path()), QStringList{"zqxy"});
        QCOMPARE(test::filesIn(w.path("zqxy")), QStringList{"x.mdb"});
    }

private:
    std::unique_ptr<DatabaseWindow> w_;
};

QTEST_MAIN(CreateDatabaseTest)
#include "CreateDatabaseTest.moc"
