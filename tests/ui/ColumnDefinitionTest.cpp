// The column definition lines of the Table Creator's column form, without a window: every
// type with and without its options, the worked examples, and what is copied in as typed.
#include "creator/ColumnDefinition.h"
#include "controls/MemoText.h"
#include "controls/TrimmedText.h"

#include <QTest>

#include <string>
#include <string_view>

using creator::columnDefinition;
using creator::ColumnSettings;

namespace {

ColumnSettings column(const char* type, bool notNull, bool withDefault,
                      const QString& value = QStringLiteral("V"),
                      const QString& length = QStringLiteral("10")) {
    return {.name = QStringLiteral("C"),
            .type = QLatin1String(type),
            .length = length,
            .notNull = notNull,
            .withDefault = withDefault,
            .defaultValue = value};
}

QString line(const ColumnSettings& settings, char terminator = ',') {
    const std::optional<QString> made = columnDefinition(settings, QLatin1Char(terminator));
    return made ? *made : QStringLiteral("<none>");
}

} // namespace

class ColumnDefinitionTest : public QObject {
    Q_OBJECT

private slots:
    void everyTypeWithItsOptions_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("notNull");
        QTest::addColumn<bool>("withDefault");
        QTest::addColumn<QString>("expected");

        const auto row = [](const char* type, bool notNull, bool withDefault,
                            const char* expected) {
            const QString name = QStringLiteral("%1 null=%2 default=%3")
                                     .arg(QLatin1String(type))
                                     .arg(notNull)
                                     .arg(withDefault);
            QTest::newRow(qPrintable(name)) << QString::fromLatin1(type) << notNull << withDefault
                                            << QString::fromLatin1(expected);
        };
        row("TEXT", false, false, "[C] text(10),");
        row("TEXT", true, false, "[C] text(10) not null,");
        row("TEXT", false, true, "[C] text(10) default \"V\",");
        row("TEXT", true, true, "[C] text(10) not null default \"V\",");
        for (const char* type : {"COUNTER", "BLOB", "DATE", "DATETIME", "TIME"}) {
            const char* keyword = std::string_view(type) == "COUNTER" ? "counter"
                                  : std::string_view(type) == "BLOB"  ? "longbinary"
                                  : std::string_view(type) == "DATE"  ? "date"
                                  : std::string_view(type) == "TIME"  ? "time"
                                                                      : "datetime";
            const std::string expected = std::string("[C] ") + keyword + ",";
            for (bool notNull : {false, true})
                for (bool withDefault : {false, true})
                    row(type, notNull, withDefault, expected.c_str());
        }
        for (const char* type : {"FLOAT", "INTEGER", "CURRENCY"}) {
            const std::string keyword = QString::fromLatin1(type).toLower().toStdString();
            const std::string base = "[C] " + keyword;
            row(type, false, false, (base + ",").c_str());
            row(type, true, false, (base + " not null,").c_str());
            row(type, false, true, (base + " default V,").c_str());
            row(type, true, true, (base + " not null default V,").c_str());
        }
        row("YES/NO", false, false, "[C] yesno,");
        row("YES/NO", true, false, "[C] yesno,");
        row("YES/NO", false, true, "[C] yesno default true,");
        row("YES/NO", true, true, "[C] yesno default true,");
        row("MEMO", false, false, "[C] memo,");
        row("MEMO", true, false, "[C] memo not null,");
        row("MEMO", false, true, "[C] memo default  \"V\",");
        row("MEMO", true, true, "[C] memo not null default  \"V\",");
    }
    void everyTypeWithItsOptions() {
        QFETCH(QString, type);
        QFETCH(bool, notNull);
        QFETCH(bool, withDefault);
        QFETCH(QString, expected);
        ColumnSettings settings = column("", notNull, withDefault);
        settings.type = type;
        QCOMPARE(line(settings), expected);
        // The last column closes the list instead.
        QCOMPARE(line(settings, ')'), expected.chopped(1) + QLatin1Char(')'));
    }

    void workedExamples() {
        QCOMPARE(line({.name = "Code",
                       .type = "TEXT",
                       .length = "10",
                       .notNull = true,
                       .withDefault = true,
                       .defaultValue = "Y"}),
                 QStringLiteral("[Code] text(10) not null default \"Y\","));
        QCOMPARE(line({.name = "Notes",
                       .type = "MEMO",
                       .length = "0",
                       .notNull = false,
                       .withDefault = true,
                       .defaultValue = "x"}),
                 QStringLiteral("[Notes] memo default  \"x\","));
        QCOMPARE(line({.name = "Qty",
                       .type = "INTEGER",
                       .length = "0",
                       .notNull = true,
                       .withDefault = true,
                       .defaultValue = "0"}),
                 QStringLiteral("[Qty] integer not null default 0,"));
        QCOMPARE(line({.name = "Active",
                       .type = "YES/NO",
                       .length = "0",
                       .notNull = true,
                       .withDefault = true,
                       .defaultValue = ""}),
                 QStringLiteral("[Active] yesno default true,"));
        QCOMPARE(line({.name = "ID",
                       .type = "COUNTER",
                       .length = "0",
                       .notNull = true,
                       .withDefault = true,
                       .defaultValue = ""}),
                 QStringLiteral("[ID] counter,"));
        ColumnSettings last = column("DATE", true, true);
        last.name = QStringLiteral("Born");
        QCOMPARE(line(last, ')'), QStringLiteral("[Born] date)"));
        last.name = QStringLiteral("At");
        last.type = QStringLiteral("TIME");
        QCOMPARE(line(last, ')'), QStringLiteral("[At] time)"));
    }

    void lengthIsCopiedAsTyped() {
        QCOMPARE(line(column("TEXT", false, false, "", "0")), QStringLiteral("[C] text(0),"));
        QCOMPARE(line(column("TEXT", false, false, "", "")), QStringLiteral("[C] text(),"));
        QCOMPARE(line(column("TEXT", false, false, "", " 50\t")), QStringLiteral("[C] text(50),"));
        QCOMPARE(line(column("TEXT", false, false, "", "abc")), QStringLiteral("[C] text(abc),"));
        // Only TEXT takes the length.
        QCOMPARE(line(column("MEMO", false, false, "", "50")), QStringLiteral("[C] memo,"));
    }

    void emptyDefaultValue() {
        QCOMPARE(line(column("TEXT", false, true, "")),
                 QStringLiteral("[C] text(10) default \"\","));
        QCOMPARE(line(column("FLOAT", false, true, "")), QStringLiteral("[C] float default ,"));
        QCOMPARE(line(column("INTEGER", false, true, "")), QStringLiteral("[C] integer default ,"));
        QCOMPARE(line(column("CURRENCY", false, true, ""), ')'),
                 QStringLiteral("[C] currency default )"));
        QCOMPARE(line(column("MEMO", false, true, "")), QStringLiteral("[C] memo default  \"\","));
    }

    void defaultValueTrimmedButNotEscaped() {
        QCOMPARE(line(column("TEXT", false, true, "  say \"hi\" \r\n")),
                 QStringLiteral("[C] text(10) default \"say \"hi\"\","));
        QCOMPARE(line(column("INTEGER", false, true, " 1 + 1 ")),
                 QStringLiteral("[C] integer default 1 + 1,"));
    }

    void nameTrimmedAndCopiedAsTyped() {
        ColumnSettings settings = column("COUNTER", false, false);
        settings.name = QStringLiteral(" \t My ID ");
        QCOMPARE(line(settings), QStringLiteral("[My ID] counter,"));
        settings.name.clear();
        QCOMPARE(line(settings), QStringLiteral("[] counter,"));
        settings.name = QStringLiteral("a]b");
        QCOMPARE(line(settings), QStringLiteral("[a]b] counter,"));
    }

    void noLineWithoutAKnownType() {
        for (const char* type : {"", "text", "Text", "TEXT ", "YESNO", "LONG"})
            QVERIFY2(!columnDefinition(column(type, true, true), QLatin1Char(',')), type);
    }

    void typeNamesInTheBoxOrder() {
        QCOMPARE(creator::columnTypeNames(),
                 (QStringList{"TEXT", "COUNTER", "FLOAT", "INTEGER", "CURRENCY", "BLOB", "YES/NO",
                              "MEMO", "DATE", "DATETIME", "TIME"}));
    }

    void trimmingStopsAtCodeThirtyTwo() {
        using controls::trimmedText;
        QCOMPARE(trimmedText(QStringLiteral("\x01\x1f  x y \t\r\n")), QStringLiteral("x y"));
        QCOMPARE(trimmedText(QString()), QString());
        QCOMPARE(trimmedText(QStringLiteral(" \t ")), QString());
        // A no-break space is not a blank here.
        const QString nbsp(QChar(0x00A0));
        QCOMPARE(trimmedText(nbsp + QStringLiteral("x ")), nbsp + QStringLiteral("x"));
    }

    void appendedLineStandsOnItsOwn() {
        using controls::withLineAppended;
        QCOMPARE(withLineAppended(QString(), "a"), QStringLiteral("a\r\n"));
        QCOMPARE(withLineAppended(QStringLiteral("x\r\n"), "a"), QStringLiteral("x\r\na\r\n"));
        QCOMPARE(withLineAppended(QStringLiteral("x"), "a"), QStringLiteral("x\r\na\r\n"));
        QCOMPARE(withLineAppended(QStringLiteral("x\r\n\r\n"), "a"),
                 QStringLiteral("x\r\n\r\na\r\n"));
        QCOMPARE(withLineAppended(QStringLiteral("x "), ""), QStringLiteral("x \r\n\r\n"));
    }
};

QTEST_APPLESS_MAIN(ColumnDefinitionTest)
#include "ColumnDefinitionTest.moc"
