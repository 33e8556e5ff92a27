// Schema files and box text files without a window: the bytes written, the line breaks and
// the code page read back, the file names, and the three file errors.
#include "creator/SchemaFile.h"
#include "core/Error.h"
#include "controls/BoxTextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace controls;
using namespace creator;

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

// The message of the error a call throws, or "<none>".
template <typename Call> QString errorOf(Call call) {
    try {
        call();
    } catch (const core::Error& error) {
        return QString::fromStdString(error.what());
    }
    return QStringLiteral("<none>");
}

} // namespace

class SchemaFileTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void fileNameAlwaysGetsTheExtension() {
        QCOMPARE(schemaFileName(QStringLiteral("/tmp/Customers")),
                 QStringLiteral("/tmp/Customers.sql"));
        QCOMPARE(schemaFileName(QStringLiteral("/tmp/Customers.sql")),
                 QStringLiteral("/tmp/Customers.sql.sql"));
        QCOMPARE(schemaFileName(QStringLiteral("  /tmp/a b \t")), QStringLiteral("/tmp/a b.sql"));
        QCOMPARE(schemaFileName(QString()), QStringLiteral(".sql"));
    }

    void writesTheTextAsItIs() {
        const QString path = dir_.filePath(QStringLiteral("a.sql"));
        saveSchemaFile(path, QStringLiteral("create table T (\r\n[ID] counter)\r\n"));
        QCOMPARE(bytesOf(path), QByteArray("create table T (\r\n[ID] counter)\r\n"));
        // No line break added, none removed, no byte-order mark.
        saveSchemaFile(path, QStringLiteral("x\ny"));
        QCOMPARE(bytesOf(path), QByteArray("x\ny"));
        saveSchemaFile(path, QString());
        QCOMPARE(bytesOf(path), QByteArray());
    }

    void lineBreaksComeBackAsCrLf() {
        const QString path = dir_.filePath(QStringLiteral("d.txt"));
        writeBytes(path, "a\nb\n\nc");
        QCOMPARE(loadSchemaFile(path), QStringLiteral("a\r\nb\r\n\r\nc"));
        writeBytes(path, "a\rb\r\r\nc\n\r");
        QCOMPARE(loadSchemaFile(path), QStringLiteral("a\r\nb\r\n\r\nc\r\n\r\n"));
        writeBytes(path, "");
        QCOMPARE(loadSchemaFile(path), QString());
    }

    void codePageCharactersRoundTrip() {
        const QString path = dir_.filePath(QStringLiteral("e.sql"));
        // Euro sign, curly quotes, e acute, no-break space and the German sharp s.
        const QString text = QStringLiteral("[Pre\u00e7o \u20ac] text(1) default \u201cx\u201d"
                                            "\u00a0\u00df\r\n");
        saveSchemaFile(path, text);
        QCOMPARE(bytesOf(path),
                 QByteArray("[Pre\xe7o \x80] text(1) default \x93x\x94\xa0\xdf\r\n"));
        QCOMPARE(loadSchemaFile(path), text);
        // A character the code page lacks is saved as a question mark.
        saveSchemaFile(path, QStringLiteral("\u4e2d"));
        QCOMPARE(bytesOf(path), QByteArray("?"));
    }

    void everyByteReadsAsACharacter() {
        const QString path = dir_.filePath(QStringLiteral("f.sql"));
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            if (b != '\r' && b != '\n') all.append(char(b));
        writeBytes(path, all);
        const QString text = loadSchemaFile(path);
        QCOMPARE(text.size(), all.size());
        saveSchemaFile(path, text);
        QCOMPARE(bytesOf(path), all);
    }

    void cannotCreate() {
        const QString path = dir_.filePath(QStringLiteral("missing/folder/g.sql"));
        const QString message = errorOf([&] { saveSchemaFile(path, QStringLiteral("x")); });
        QVERIFY2(
            message.startsWith(
                QStringLiteral("Cannot create file \"%1\". ").arg(QDir::toNativeSeparators(path))),
            qPrintable(message));
        QVERIFY2(message.size() > QStringLiteral("Cannot create file \"%1\". ").arg(path).size(),
                 "the cause follows");
        QVERIFY(!QFile::exists(path));
    }

    void aFailedWriteIsNotASuccess() {
        if (!QFile::exists(QStringLiteral("/dev/full"))) QSKIP("no /dev/full here");
        const QString message =
            errorOf([] { writeBoxTextFile(QStringLiteral("/dev/full"), QStringLiteral("x")); });
        QVERIFY2(message.startsWith(QStringLiteral("Cannot create file \"/dev/full\". ")),
                 qPrintable(message));
    }

    void cannotOpen() {
        const QString path = dir_.filePath(QStringLiteral("nothing.sql"));
        const QString message = errorOf([&] { loadSchemaFile(path); });
        QVERIFY2(
            message.startsWith(
                QStringLiteral("Cannot open file \"%1\". ").arg(QDir::toNativeSeparators(path))),
            qPrintable(message));
        const QString folder = errorOf([&] { loadSchemaFile(dir_.path()); });
        QVERIFY2(folder.startsWith(QStringLiteral("Cannot open file \"%1\". ")
                                       .arg(QDir::toNativeSeparators(dir_.path()))),
                 qPrintable(folder));
    }

    void relativeNamesAreReportedInFull() {
        const QString message =
            errorOf([] { readBoxTextFile(QStringLiteral("no-such-file.sql"), 10); });
        QCOMPARE(message.section(QLatin1Char('"'), 1, 1),
                 QDir::toNativeSeparators(QDir::current().absoluteFilePath("no-such-file.sql")));
    }

    void textLongerThanTheBox() {
        const QString path = dir_.filePath(QStringLiteral("h.sql"));
        writeBytes(path, "12345");
        QCOMPARE(readBoxTextFile(path, 5), QStringLiteral("12345"));
        QCOMPARE(errorOf([&] { readBoxTextFile(path, 4); }),
                 QStringLiteral("Text exceeds memo capacity"));
        // Line feeds grow by their carriage returns on the way in.
        writeBytes(path, "1\n2\n");
        QCOMPARE(errorOf([&] { readBoxTextFile(path, 5); }),
                 QStringLiteral("Text exceeds memo capacity"));
        QCOMPARE(readBoxTextFile(path, 6), QStringLiteral("1\r\n2\r\n"));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(SchemaFileTest)
#include "SchemaFileTest.moc"
