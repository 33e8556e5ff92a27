// The Database page's pure parts: the folders Create New makes, the name of Compact
// Database's copy and its replacement of the file, the connection strings, and how Open fills
// the table list.
#include "DatabaseHelpers.h"
#include "controls/ComboList.h"
#include "database/CompactFiles.h"
#include "database/FolderCreation.h"
#include "database/JetConnectionStrings.h"

#include <QSignalSpy>

using namespace database;
using controls::fillComboList;

class DatabasePathsTest : public QObject {
    Q_OBJECT

private slots:
    void folderPrefixes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QStringList>("prefixes");
        const QString bs = QStringLiteral("\\");
        const QString fs = QStringLiteral("/");
        QTest::newRow("the form's example path")
            << "c:\\file_path\\database_name.mdb" << bs << QStringList{"c:\\file_path\\"};
        QTest::newRow("a drive is never made") << "c:\\db.mdb" << bs << QStringList{};
        QTest::newRow("every level, shortest first")
            << "d:\\a\\bc\\def\\x.mdb" << bs
            << QStringList{"d:\\a\\", "d:\\a\\bc\\", "d:\\a\\bc\\def\\"};
        QTest::newRow("a short first folder") << "\\ab\\x.mdb" << bs << QStringList{};
        QTest::newRow("five characters count") << "\\abc\\x.mdb" << bs << QStringList{"\\abc\\"};
        QTest::newRow("forward slashes on Windows") << "c:/file_path/x.mdb" << bs << QStringList{};
        QTest::newRow("no separator") << "x.mdb" << bs << QStringList{};
        QTest::newRow("a trailing separator") << "c:\\dir\\" << bs << QStringList{"c:\\dir\\"};
        QTest::newRow("a Linux home path")
            << "/home/ann/file_path/database_name.mdb" << fs
            << QStringList{"/home/", "/home/ann/", "/home/ann/file_path/"};
        QTest::newRow("root and a two-letter folder") << "/ab/x.mdb" << fs << QStringList{};
        QTest::newRow("backslashes on Linux") << "data\\sub\\x.mdb" << fs << QStringList{};
        QTest::newRow("relative") << "data/sub/x.mdb" << fs << QStringList{"data/", "data/sub/"};
        QTest::newRow("empty") << "" << fs << QStringList{};
    }
    void folderPrefixes() {
        QFETCH(QString, path);
        QFETCH(QString, separator);
        QFETCH(QStringList, prefixes);
        QCOMPARE(database::folderPrefixes(path, separator.at(0)), prefixes);
    }

    void thePlatformSeparator() {
#ifdef Q_OS_WIN
        QCOMPARE(folderSeparator(), QLatin1Char('\\'));
#else
        QCOMPARE(folderSeparator(), QLatin1Char('/'));
#endif
    }

    void missingFoldersAreMadeOneLevelAtATime() {
        QTemporaryDir scratch;
        const QString root = scratch.path();
        QDir(root).mkdir(QStringLiteral("have"));
        createMissingFolders(root + "/have/new/newer/x.mdb", QLatin1Char('/'));
        QVERIFY(QFileInfo(root + "/have/new/newer").isDir());
        QCOMPARE(test::filesIn(root), QStringList{"have"});
        QCOMPARE(test::filesIn(root + "/have/new"), QStringList{"newer"});
        // The file name itself is never made.
        QCOMPARE(test::filesIn(root + "/have/new/newer"), QStringList{});
    }

    void aFolderThatCannotBeMadeIsPassedOver() {
        QTemporaryDir scratch;
        const QString root = scratch.path();
        test::writeFile(root + "/blocker", "not a folder");
        createMissingFolders(root + "/blocker/sub/x.mdb", QLatin1Char('/'));
        QVERIFY(QFileInfo(root + "/blocker").isFile());
        QVERIFY(!QFileInfo::exists(root + "/blocker/sub"));
    }

    void temporaryCopyPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("copy");
        QTest::newRow("in a folder") << "c:\\data\\shop.mdb"
                                     << "\\"
                                     << "c:\\data\\TEMPshop.mdb";
        QTest::newRow("in a drive's root") << "c:\\shop.mdb"
                                           << "\\"
                                           << "c:\\TEMPshop.mdb";
        QTest::newRow("Linux folder") << "/srv/data/shop.mdb"
                                      << "/"
                                      << "/srv/data/TEMPshop.mdb";
        QTest::newRow("Linux root") << "/shop.mdb"
                                    << "/"
                                    << "/TEMPshop.mdb";
        QTest::newRow("no folder") << "shop.mdb"
                                   << "/"
                                   << "TEMPshop.mdb";
        QTest::newRow("dots in folders") << "/a.b/c.d.mdb"
                                         << "/"
                                         << "/a.b/TEMPc.d.mdb";
    }
    void temporaryCopyPath() {
        QFETCH(QString, path);
        QFETCH(QString, separator);
        QFETCH(QString, copy);
        QCOMPARE(database::temporaryCopyPath(path, separator.at(0)), copy);
    }

    void theCopyReplacesTheFile() {
        QTemporaryDir scratch;
        const QString file = scratch.filePath("shop.mdb");
        const QString copy = scratch.filePath("TEMPshop.mdb");
        test::writeFile(file, "old");
        test::writeFile(copy, "new");
        replaceWithCopy(copy, file);
        QCOMPARE(test::fileBytes(file), QByteArray("new"));
        QCOMPARE(test::filesIn(scratch.path()), QStringList{"shop.mdb"});
    }

    void aReadOnlyFileIsKeptWithTheCopyBesideIt() {
        QTemporaryDir scratch;
        const QString file = scratch.filePath("shop.mdb");
        const QString copy = scratch.filePath("TEMPshop.mdb");
        test::writeFile(file, "old");
        test::writeFile(copy, "new");
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ReadOther));
        replaceWithCopy(copy, file);
        QCOMPARE(test::fileBytes(file), QByteArray("old"));
        QCOMPARE(test::fileBytes(copy), QByteArray("new"));
    }

    void aMissingCopyLeavesTheFile() {
        QTemporaryDir scratch;
        const QString file = scratch.filePath("shop.mdb");
        test::writeFile(file, "old");
        replaceWithCopy(scratch.filePath("TEMPshop.mdb"), file);
        QCOMPARE(test::fileBytes(file), QByteArray("old"));
    }

    void aLeftoverCopyIsDeleted() {
        QTemporaryDir scratch;
        test::writeFile(scratch.filePath("TEMPshop.mdb"), "left over");
        removeLeftoverCopy(scratch.filePath("TEMPshop.mdb"));
        QCOMPARE(test::filesIn(scratch.path()), QStringList{});
        // A folder of that name is not a leftover copy.
        QDir(scratch.path()).mkdir("TEMPx.mdb");
        removeLeftoverCopy(scratch.filePath("TEMPx.mdb"));
        QCOMPARE(test::filesIn(scratch.path()), QStringList{"TEMPx.mdb"});
    }

    void connectionStrings() {
        QCOMPARE(openConnectionString("c:\\a b\\x.mdb", "pw;x"),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\a b\\x.mdb;"
                                "Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password=pw;x"));
        QCOMPARE(openConnectionString("/d/x.mdb", ""),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/x.mdb;"
                                "Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password="));
        QCOMPARE(createConnectionString("/d/x.mdb", " secret "),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/x.mdb;"
                                "Jet OLEDB:Engine Type=5;Jet OLEDB:Database Password= secret "));
        QCOMPARE(createConnectionString("", ""),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=;"
                                "Jet OLEDB:Engine Type=5;Jet OLEDB:Database Password="));
        QCOMPARE(compactConnectionString("/d/TEMPx.mdb"),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0; Data Source=/d/TEMPx.mdb"));
        QCOMPARE(compactConnectionString("/d/x.mdb", "pw"),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0; Data Source=/d/x.mdb;"
                                "Jet OLEDB:Database Password=pw"));
    }

    void theTableListKeepsItsText() {
        QComboBox box;
        box.setEditable(true);
        box.setEditText(QStringLiteral("Select Table"));
        QSignalSpy edited(&box, &QComboBox::editTextChanged);
        QSignalSpy changed(&box, &QComboBox::currentTextChanged);
        QSignalSpy index(&box, &QComboBox::currentIndexChanged);
        fillComboList(box, {"Alpha", "beta", "Gamma \xe2\x82\xac"});
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.itemText(0), QStringLiteral("Alpha"));
        QCOMPARE(box.itemText(2), QStringLiteral("Gamma \u20ac"));
        QCOMPARE(box.currentText(), QStringLiteral("Select Table"));
        QCOMPARE(box.currentIndex(), -1);
        // The user's text stays too, and a new list replaces the old one.
        box.setEditText(QStringLiteral("beta"));
        fillComboList(box, {"Delta"});
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.itemText(0), QStringLiteral("Delta"));
        QCOMPARE(box.currentText(), QStringLiteral("beta"));
        fillComboList(box, {});
        QCOMPARE(box.count(), 0);
        QCOMPARE(box.currentText(), QStringLiteral("beta"));
        // Only the user's edit above was signalled; filling signals nothing.
        QCOMPARE(edited.count(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(index.count(), 0);
    }
};

QTEST_MAIN(DatabasePathsTest)
#include "DatabasePathsTest.moc"
