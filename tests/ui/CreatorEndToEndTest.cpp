// The Table Creator and the SQL console on a real file: a table of all eleven types built
// from the form, created with "Create Table", given a primary key through "ADD Index", filled
// from the console, and read back through the engine.
#include "DatabaseHelpers.h"
#include "controls/MemoText.h"

#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>

class CreatorEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }

    void elevenTypesFromTheFormOnARealFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("shop.mdb"));
        jet::Database::create(test::fsPath(path));

        test::Window w;
        app::TForm1& form = *w.form;
        form.workspace().connection().setConnectionString(
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path.toStdString() +
            ";;Jet OLEDB:Database Password=");
        test::showWorkingPages(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.setCurrentPage(window::Page::TableCreator);

        auto edit = [&](const char* name) -> QLineEdit& {
            return test::child<QLineEdit>(form, name);
        };
        auto click = [&](const char* name) {
            QTest::mouseClick(&test::child<QAbstractButton>(form, name), Qt::LeftButton);
        };
        auto column = [&](const char* name, const char* type, bool notNull, const char* def) {
            edit("col_name").setText(QString::fromUtf8(name));
            auto& types = test::child<QComboBox>(form, "col_type");
            types.setCurrentIndex(types.findText(QLatin1String(type), Qt::MatchExactly));
            test::child<QCheckBox>(form, "cbNull").setChecked(notNull);
            test::child<QCheckBox>(form, "cbDefault").setChecked(def != nullptr);
            edit("ebDefault").setText(def ? QString::fromUtf8(def) : QString());
        };
        edit("table_name").setText(QStringLiteral("Goods"));
        click("schema_header");
        column("ID", "COUNTER", false, nullptr);
        click("btnFieldAdd");
        column("Name", "TEXT", true, nullptr);
        edit("col_len").setText(QStringLiteral("40"));
        click("btnFieldAdd");
        column("Weight", "FLOAT", false, "0");
        click("btnFieldAdd");
        column("Stock", "INTEGER", false, "5");
        click("btnFieldAdd");
        column("Price", "CURRENCY", false, "1");
        click("btnFieldAdd");
        column("Picture", "BLOB", false, nullptr);
        click("btnFieldAdd");
        column("Active", "YES/NO", false, nullptr);
        click("btnFieldAdd");
        column("Notes", "MEMO", false, "none");
        click("btnFieldAdd");
        column("Made", "DATE", false, nullptr);
        click("btnFieldAdd");
        column("Stamp", "DATETIME", false, nullptr);
        click("btnFieldAdd");
        column("Opens", "TIME", false, nullptr);
        click("btnCreate");
        click("btnExecuteSQL"); // "Create Table"
        QCOMPARE(w.prompts->texts(test::ScriptedPrompts::Kind::Error), std::vector<QString>{});

        // The index template, its words replaced as the reminder says.
        auto& indexBox = test::child<QPlainTextEdit>(form, "indexz");
        indexBox.setPlainText(QStringLiteral("create index PK on Goods (ID) with primary"));
        click("btnIndex"); // "ADD Index"
        QCOMPARE(w.prompts->texts(test::ScriptedPrompts::Kind::Error), std::vector<QString>{});

        form.setCurrentPage(window::Page::ExecuteSql);
        auto& console = test::child<QPlainTextEdit>(form, "Memo1");
        for (const char* sql : {"insert into Goods (Name, Weight, Active, Made) values ('bolt', "
                                "0.5, true, #2001-02-03#)",
                                "insert into Goods (Name, Stock, Notes, Opens) values ('nut', 12, "
                                "'small', #10:30#)"}) {
            console.setPlainText(QString::fromUtf8(sql));
            QTest::mouseClick(&test::child<QAbstractButton>(form, "Button6"), Qt::LeftButton);
        }
        QCOMPARE(w.prompts->texts(test::ScriptedPrompts::Kind::Error), std::vector<QString>{});
        form.workspace().connection().close();

        auto db = jet::Database::open(test::fsPath(path));
        auto table = db->table("Goods");
        QCOMPARE(table.schema().columns.size(), std::size_t{11});
        QCOMPARE(table.schema().indexes.size(), std::size_t{1});
        QCOMPARE(table.schema().indexes[0].kind, jet::IndexKind::Primary);
        auto cursor = table.scan();
        std::vector<std::vector<core::Value>> rows;
        while (cursor.next()) {
            std::vector<core::Value> row;
            for (std::size_t i = 0; i < table.schema().columns.size(); ++i)
                row.push_back(cursor.value(i));
            rows.push_back(row);
        }
        QCOMPARE(rows.size(), std::size_t{2});
        QCOMPARE(rows[0][0], core::Value(std::int32_t{1}));
        QCOMPARE(rows[0][1], core::Value("bolt"));
        QCOMPARE(rows[0][3], core::Value(std::int32_t{5})); // default (Jet's integer is a Long)
        QCOMPARE(rows[0][7], core::Value("none"));          // memo default
        QCOMPARE(rows[1][1], core::Value("nut"));
        QCOMPARE(rows[1][3], core::Value(std::int32_t{12}));
        QCOMPARE(rows[1][4], core::Value(core::Currency{10000})); // default 1
        QVERIFY(jet::checkDatabase(*db).ok());
    }
};

QTEST_MAIN(CreatorEndToEndTest)
#include "CreatorEndToEndTest.moc"
