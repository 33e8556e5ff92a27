// The Execute SQL page: its two controls, and one execution of the whole text per press with
// nothing shown on success.
#include "CreatorHelpers.h"

#include <QApplication>
#include <QPushButton>

using test::CreatorWindow;
using Kind = test::ScriptedPrompts::Kind;

class SqlConsoleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }
    void init() {
        window_ = std::make_unique<CreatorWindow>();
        QVERIFY(window_->showPage(window::Page::ExecuteSql));
    }
    void cleanup() { window_.reset(); }

    void controls() {
        CreatorWindow& w = *window_;
        QWidget& page = w.get<QWidget>("SqlConsolePage");
        QCOMPARE(page.parentWidget(), &w.get<QWidget>("TabSheet4"));
        QPlainTextEdit& memo = w.box("Memo1");
        QCOMPARE(memo.parentWidget(), &page);
        QCOMPARE(memo.geometry(), QRect(23, 19, 506, 182));
        QCOMPARE(w.text("Memo1"), QString());
        QVERIFY(!memo.isReadOnly());
        QCOMPARE(memo.lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(memo.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(memo.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QPushButton& button = w.get<QPushButton>("Button6");
        QCOMPARE(button.parentWidget(), &page);
        QCOMPARE(button.geometry(), QRect(24, 208, 75, 25));
        QCOMPARE(button.text(), QStringLiteral("Execute SQL"));
        QVERIFY(button.isVisible() && memo.isVisible());
        QVERIFY(page.rect().contains(memo.geometry()));
    }

    void enterBreaksTheLineAndTabMovesOn() {
        CreatorWindow& w = *window_;
        QPlainTextEdit& memo = w.box("Memo1");
        memo.setFocus();
        QTest::keyClicks(&memo, QStringLiteral("insert into T values (1)"));
        QTest::keyClick(&memo, Qt::Key_Return);
        QTest::keyClicks(&memo, QStringLiteral("x"));
        QCOMPARE(w.text("Memo1"), QStringLiteral("insert into T values (1)\r\nx"));
        QTest::keyClick(&memo, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), &w.get<QWidget>("Button6"));
    }

    void oneExecutionPerPress() {
        CreatorWindow& w = *window_;
        w.box("Memo1").setPlainText(QStringLiteral("insert into T (A) values (1)"));
        w.click("Button6");
        QCOMPARE(w.command->executed, std::vector<std::string>{"insert into T (A) values (1)"});
        w.click("Button6");
        QCOMPARE(w.command->executed.size(), std::size_t{2});
        QCOMPARE(w.command->executed[1], std::string("insert into T (A) values (1)"));
        // Success shows nothing and the text stays.
        QVERIFY(w.prompts->shown.empty());
        QCOMPARE(w.text("Memo1"), QStringLiteral("insert into T (A) values (1)"));
    }

    void severalLinesAreOneCommand() {
        CreatorWindow& w = *window_;
        w.box("Memo1").setPlainText(QStringLiteral("select *\nfrom [T]\nwhere A = :a\n"));
        w.click("Button6");
        QCOMPARE(w.command->executed,
                 std::vector<std::string>{"select *\r\nfrom [T]\r\nwhere A = :a\r\n"});
        QVERIFY(w.prompts->shown.empty());
    }

    void textGoesAsUtf8() {
        CreatorWindow& w = *window_;
        w.box("Memo1").setPlainText(QStringLiteral("update T set P = '\u20ac\u00a0'"));
        w.click("Button6");
        QCOMPARE(w.command->executed,
                 std::vector<std::string>{"update T set P = '\xe2\x82\xac\xc2\xa0'"});
    }

    void emptyTextIsRefused() {
        CreatorWindow& w = *window_;
        w.click("Button6");
        QVERIFY(w.command->executed.empty());
        QCOMPARE(w.prompts->texts(Kind::Error), std::vector<QString>{QStringLiteral(
                                                    "ADOCommand1: Missing CommandText property.")});
        // Blanks and line breaks are not empty: they go to the database.
        w.box("Memo1").setPlainText(QStringLiteral(" \n"));
        w.click("Button6");
        QCOMPARE(w.command->executed, std::vector<std::string>{" \r\n"});
    }

    void failureShowsTheErrorAndKeepsTheText() {
        CreatorWindow& w = *window_;
        w.command->failure = "Syntax error in INSERT INTO statement.";
        w.box("Memo1").setPlainText(QStringLiteral("insert T"));
        w.click("Button6");
        QCOMPARE(w.prompts->texts(Kind::Error),
                 std::vector<QString>{QStringLiteral("Syntax error in INSERT INTO statement.")});
        QCOMPARE(w.text("Memo1"), QStringLiteral("insert T"));
        // The next press runs again.
        w.command->failure.reset();
        w.click("Button6");
        QCOMPARE(w.command->executed.size(), std::size_t{2});
        QCOMPARE(w.prompts->shown.size(), std::size_t{1});
    }

private:
    std::unique_ptr<CreatorWindow> window_;
};

QTEST_MAIN(SqlConsoleTest)
#include "SqlConsoleTest.moc"
