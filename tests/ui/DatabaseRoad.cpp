// Walks a new user's road through the real window, with the real message boxes and file
// dialogs, and photographs the screen at each step:
//   xvfb-run -s "-screen 0 1024x768x24" tablory_ui_database_road <scratch folder> <pictures>
// Type a path and a password, Create New, Open the file, fill and empty a table on the Execute
// SQL page, try to compact the file while it is open, then start again, compact it and open
// it. Prints what it finds on the way; the exit code is 0 when every step went as expected.
#include "app/Application.h"
#include "app/TForm1.h"
#include "controls/ProgressDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {

QString pictures;
int failures = 0;

void say(const QString& text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

void expect(bool ok, const QString& what) {
    say((ok ? QStringLiteral("ok:   ") : QStringLiteral("FAIL: ")) + what);
    if (!ok) ++failures;
}

void photograph(const QString& name) {
    QTest::qWait(150);
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString file = pictures + QLatin1Char('/') + name + QStringLiteral(".png");
    expect(screen.save(file), QStringLiteral("picture ") + file);
}

// Answers the next modal window of type T, once it has shown and painted.
template <typename T> QPointer<QTimer> whenShown(std::function<void(T&)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        answer(*modal);
    });
    timer->start();
    return timer;
}

// Reads a message box, photographs it and presses its OK button.
QPointer<QTimer> answerBox(const QString& picture, QString* text) {
    return whenShown<QMessageBox>([picture, text](QMessageBox& box) {
        *text = box.text();
        photograph(picture);
        box.button(QMessageBox::Ok)->click();
    });
}

// Types the name into the file dialog like a user, photographs it and confirms.
void answerFileDialog(const QString& picture, const QString& file) {
    whenShown<QFileDialog>([picture, file](QFileDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name) {
            name->selectAll();
            QTest::keyClicks(name, file);
        }
        photograph(picture);
        if (name) {
            QTest::keyClick(name, Qt::Key_Return);
        } else {
            dialog.selectFile(file);
            QMetaObject::invokeMethod(&dialog, "accept");
        }
    });
}

// The window's controls by name, as the tests find them.
struct Controls {
    explicit Controls(app::TForm1& form) : form(form) {}
    template <typename T> T* get(const char* name) const {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
    app::TForm1& form;
    QLineEdit* dbname = get<QLineEdit>("dbname");
    QLineEdit* dbpass = get<QLineEdit>("dbpass");
    QComboBox* dbtabs = get<QComboBox>("dbtabs");
    QPushButton* btnO = get<QPushButton>("btnO");
    QPushButton* N = get<QPushButton>("N");
    QPushButton* Button7 = get<QPushButton>("Button7");
    QTabWidget* Book = get<QTabWidget>("Book");
    QWidget* TabSheet2 = get<QWidget>("TabSheet2");
    QWidget* TabSheet3 = get<QWidget>("TabSheet3");
    QWidget* TabSheet4 = get<QWidget>("TabSheet4");
};

void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList visibleTabs(QTabWidget& book) {
    QStringList tabs;
    for (int i = 0; i < book.count(); ++i)
        if (book.isTabVisible(i)) tabs << book.tabText(i);
    return tabs;
}

void runSql(app::TForm1& form, const QString& statement) {
    auto* memo = form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    auto* run = form.findChild<QPushButton*>(QStringLiteral("Button6"));
    memo->setPlainText(statement);
    click(run);
}

} // namespace

int main(int argc, char** argv) {
    app::Application application(argc, argv);
    app::Application::setApplicationName(QStringLiteral("Tablory"));
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <scratch folder> <pictures folder>\n", argv[0]);
        return 2;
    }
    const QString scratch = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    pictures = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(pictures);
    // A road that cannot go on is reported, not waited on for ever.
    QTimer::singleShot(300000, [] {
        say(QStringLiteral("FAIL: the road got stuck"));
        std::_Exit(3);
    });
    const QString folder = QDir::toNativeSeparators(scratch + QStringLiteral("/road/databases"));
    const QString file = folder + QDir::separator() + QStringLiteral("new_user.mdb");
    QDir(scratch + QStringLiteral("/road")).removeRecursively();

    auto form = std::make_unique<app::TForm1>();
    application.showException = [&form](const std::exception& e) { form->showException(e); };
    form->show();
    expect(QTest::qWaitForWindowExposed(form.get()), QStringLiteral("the window is shown"));
    const Controls ui(*form);

    // 1. A path with missing folders and a password, typed.
    ui.dbname->selectAll();
    QTest::keyClicks(ui.dbname, file);
    QTest::keyClicks(ui.dbpass, QStringLiteral("road pass"));
    photograph(QStringLiteral("1-typed"));

    // 2. Create New.
    QString message;
    answerBox(QStringLiteral("2-created"), &message);
    click(ui.N);
    expect(message == QStringLiteral("New Database Created"), QStringLiteral("box: ") + message);
    expect(QFileInfo(file).isFile(), QStringLiteral("the file exists: ") + file);
    expect(visibleTabs(*ui.Book).size() == 5, QStringLiteral("five tabs after Create New"));

    // 3. Open it, through the file dialog.
    answerFileDialog(QStringLiteral("3-open-dialog"), file);
    click(ui.btnO);
    expect(form->workspace().connection().connected(), QStringLiteral("the connection is open"));
    expect(ui.Book->currentWidget() == ui.TabSheet3, QStringLiteral("Database page current"));
    photograph(QStringLiteral("4-opened"));

    // 4. Work in it: a table filled, then dropped, and a small one kept.
    form->setCurrentPage(window::Page::ExecuteSql);
    runSql(*form, QStringLiteral("create table Scratch (ID counter, Note text(200))"));
    runSql(*form, QStringLiteral("insert into Scratch (Note) values ('a note that takes room')"));
    for (int i = 0; i < 12; ++i)
        runSql(*form, QStringLiteral("insert into Scratch (Note) select Note from Scratch"));
    runSql(*form, QStringLiteral("create table Customers (ID counter, Name text(50))"));
    runSql(*form, QStringLiteral("insert into Customers (Name) values ('Alice')"));
    for (int i = 0; i < 11; ++i)
        runSql(*form, QStringLiteral("insert into Customers (Name) select Name from Customers"));
    photograph(QStringLiteral("5-sql-console"));
    runSql(*form, QStringLiteral("drop table Scratch"));
    form->setCurrentPage(window::Page::Database);
    const qint64 before = QFileInfo(file).size();
    say(QStringLiteral("size before compacting: %1 bytes").arg(before));

    // 5. Compact it while it is open: refused, the file untouched.
    answerFileDialog(QStringLiteral("6-compact-dialog"), file);
    answerBox(QStringLiteral("7-in-use"), &message);
    click(ui.Button7);
    expect(message.contains(QStringLiteral("already in use")), QStringLiteral("box: ") + message);
    expect(QFileInfo(file).size() == before, QStringLiteral("the open file was not touched"));

    // 6. Start again: compact the file, then open it.
    application.showException = nullptr;
    form.reset();
    form = std::make_unique<app::TForm1>();
    application.showException = [&form](const std::exception& e) { form->showException(e); };
    form->show();
    expect(QTest::qWaitForWindowExposed(form.get()), QStringLiteral("the window is shown again"));
    const Controls again(*form);
    // The password, typed as for Open, lets the file be compacted.
    QTest::keyClicks(again.dbpass, QStringLiteral("road pass"));
    answerFileDialog(QStringLiteral("8-compact-dialog"), file);
    bool progressSeen = false;
    QTimer progressWatch;
    progressWatch.setInterval(0);
    QObject::connect(&progressWatch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<controls::ProgressDialog*>(QApplication::activeModalWidget());
        if (!box || progressSeen || box->position() < controls::ProgressDialog::barMaximum / 4)
            return;
        progressSeen = true;
        photograph(QStringLiteral("9-compacting"));
    });
    progressWatch.start();
    QString unexpected;
    QPointer<QTimer> anyBox = answerBox(QStringLiteral("9-unexpected-box"), &unexpected);
    click(again.Button7);
    progressWatch.stop();
    delete anyBox.data();
    expect(unexpected.isEmpty(), QStringLiteral("no message after compacting ") + unexpected);
    expect(progressSeen, QStringLiteral("the progress box showed"));
    const qint64 after = QFileInfo(file).size();
    say(QStringLiteral("size after compacting: %1 bytes").arg(after));
    say(QStringLiteral("folder holds: ") + QDir(folder).entryList(QDir::Files).join(", "));
    expect(after < before, QStringLiteral("the file is smaller"));
    expect(QDir(folder).entryList(QDir::Files) == QStringList{"new_user.mdb"},
           QStringLiteral("one file in the folder"));
    photograph(QStringLiteral("10-compacted"));

    answerFileDialog(QStringLiteral("11-open-dialog"), file);
    click(again.btnO);
    expect(form->workspace().connection().connected(), QStringLiteral("the compacted file opens"));
    QStringList listed;
    for (int i = 0; i < again.dbtabs->count(); ++i) listed << again.dbtabs->itemText(i);
    expect(listed == QStringList{"Customers"}, QStringLiteral("tables: ") + listed.join(", "));
    form->setCurrentPage(window::Page::TableBrowser);
    again.dbtabs->showPopup();
    photograph(QStringLiteral("12-browser-tables"));
    again.dbtabs->hidePopup();

    application.showException = nullptr;
    say(failures == 0 ? QStringLiteral("road walked") : QStringLiteral("road failed"));
    return failures == 0 ? 0 : 1;
}
