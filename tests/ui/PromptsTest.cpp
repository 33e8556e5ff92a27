// The real message boxes and file dialogs, the shared dialogs' memory of the file name, and the
// JPEG decoder behind the logo.
#include "WindowHelpers.h"
#include "app/FileFilter.h"
#include "app/QtPrompts.h"
#include "database/JpegImage.h"
#include "window/FileDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

using test::child;
using test::ScriptedPrompts;

namespace {

// What a message box looked like while it was up.
struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    QString escapeButton;
};

// Runs `act` on the modal window as soon as one is up; the prompt under test is blocking the
// caller meanwhile.
void whenModal(std::function<void(QWidget&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(*modal);
    });
    poll->start();
}

void answerBox(BoxSeen& seen, int key) {
    whenModal([&seen, key](QWidget& modal) {
        auto& box = dynamic_cast<QMessageBox&>(modal);
        seen.title = box.windowTitle();
        seen.text = box.text();
        seen.icon = box.icon();
        for (QAbstractButton* button : box.buttons()) seen.buttons << button->text();
        if (box.defaultButton()) seen.defaultButton = box.defaultButton()->text();
        if (box.escapeButton()) seen.escapeButton = box.escapeButton()->text();
        QTest::keyClick(&box, static_cast<Qt::Key>(key));
    });
}

QImage decode(const QByteArray& bytes) {
    return database::decodeJpeg(std::span(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                          static_cast<std::size_t>(bytes.size())));
}

} // namespace

class PromptsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }

    void informationBox() {
        app::QtPrompts prompts(nullptr);
        BoxSeen seen;
        answerBox(seen, Qt::Key_Escape);
        prompts.information(QStringLiteral("  New Database Created "));
        QCOMPARE(seen.title, QStringLiteral("Tablory"));
        QCOMPARE(seen.text, QStringLiteral("  New Database Created "));
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.buttons, QStringList{"OK"});
        QCOMPARE(seen.defaultButton, QStringLiteral("OK"));
        QCOMPARE(seen.escapeButton, QStringLiteral("OK"));
    }

    void confirmationBox() {
        app::QtPrompts prompts(nullptr);
        BoxSeen seen;
        answerBox(seen, Qt::Key_Return);
        QVERIFY(prompts.confirmation(QStringLiteral("Column already added. Add again?")));
        QCOMPARE(seen.title, QStringLiteral("Confirm"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.buttons.size(), 2);
        QVERIFY(seen.buttons.contains("&Yes"));
        QVERIFY(seen.buttons.contains("&No"));
        QCOMPARE(seen.defaultButton, QStringLiteral("&Yes"));
        QCOMPARE(seen.escapeButton, QStringLiteral("&No"));

        BoxSeen escaped;
        answerBox(escaped, Qt::Key_Escape);
        QVERIFY(!prompts.confirmation(QStringLiteral("Add again?")));

        // Closed from its title bar: No.
        whenModal([](QWidget& box) { box.close(); });
        QVERIFY(!prompts.confirmation(QStringLiteral("Add again?")));
    }

    void errorBoxShowsTheTextAsGiven() {
        app::QtPrompts prompts(nullptr);
        BoxSeen seen;
        answerBox(seen, Qt::Key_Return);
        prompts.error(QStringLiteral("Not a valid password"));
        QCOMPARE(seen.title, QStringLiteral("Tablory"));
        QCOMPARE(seen.text, QStringLiteral("Not a valid password"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttons, QStringList{"OK"});
    }

    void informationBoxLeavesTheCurrentPage() {
        app::TForm1 form; // with the real prompts
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        test::showWorkingPages(form);
        auto& creator = child<QWidget>(form, "TabSheet1");
        form.setCurrentPage(window::Page::TableCreator);
        BoxSeen seen;
        answerBox(seen, Qt::Key_Return);
        form.workspace().prompts().information(QStringLiteral("Table Created/Altered"));
        QCOMPARE(seen.text, QStringLiteral("Table Created/Altered"));
        // Focus coming back to the window leaves the page as it was.
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(child<QTabWidget>(form, "Book").currentWidget(), &creator);
    }

    void openDialogSetUp() {
        app::QtPrompts prompts(nullptr);
        QStringList filters;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
        QFileDialog::FileMode fileMode = QFileDialog::Directory;
        QStringList preset;
        whenModal([&](QWidget& modal) {
            auto& dialog = dynamic_cast<QFileDialog&>(modal);
            preset = dialog.selectedFiles();
            filters = dialog.nameFilters();
            mode = dialog.acceptMode();
            fileMode = dialog.fileMode();
            dialog.reject();
        });
        const QString remembered = QDir::temp().filePath(QStringLiteral("remembered.mdb"));
        QCOMPARE(prompts.openFileName(QStringLiteral("Access Databases|*.mdb"), remembered),
                 std::nullopt);
        QCOMPARE(preset, QStringList{remembered});
        QCOMPARE(filters, QStringList{"Access Databases (*.mdb)"});
        QCOMPARE(mode, QFileDialog::AcceptOpen);
        QCOMPARE(fileMode, QFileDialog::AnyFile);
    }

    void openDialogAcceptsATypedNameOfAMissingFile() {
        app::QtPrompts prompts(nullptr);
        const QString missing = QDir::temp().filePath(QStringLiteral("tablory-no-such-file.mdb"));
        QFile::remove(missing);
        whenModal([&](QWidget& modal) {
            auto& dialog = dynamic_cast<QFileDialog&>(modal);
            auto* typed = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(typed);
            typed->setText(missing);
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        QCOMPARE(prompts.openFileName(QStringLiteral("Access Databases|*.mdb"), QString()),
                 std::optional<QString>(missing));
    }

    void saveDialogSetUp() {
        app::QtPrompts prompts(nullptr);
        QStringList filters;
        bool confirmsOverwrite = true;
        QString suffix = QStringLiteral("unset");
        QStringList preset;
        whenModal([&](QWidget& modal) {
            auto& dialog = dynamic_cast<QFileDialog&>(modal);
            filters = dialog.nameFilters();
            confirmsOverwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
            suffix = dialog.defaultSuffix();
            preset = dialog.selectedFiles();
            dialog.reject();
        });
        const QString name = QDir::temp().filePath(QStringLiteral("Customers"));
        QCOMPARE(prompts.saveFileName(QStringLiteral("SQL Schemas|*.sql"), name), std::nullopt);
        QCOMPARE(filters, QStringList{"SQL Schemas (*.sql)"});
        QVERIFY(!confirmsOverwrite);
        QCOMPARE(suffix, QString());
        QCOMPARE(preset, QStringList{name});
    }

    void filtersInQtForm_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one pair") << "Access Databases|*.mdb"
                                  << QStringList{"Access Databases (*.mdb)"};
        QTest::newRow("two pairs") << "SQL Schemas|*.sql|All files|*.*"
                                   << QStringList{"SQL Schemas (*.sql)", "All files (*.*)"};
        QTest::newRow("several patterns")
            << "Queries|*.sqlqws;*.sqlqwf" << QStringList{"Queries (*.sqlqws *.sqlqwf)"};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void filtersInQtForm() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(app::nameFilters(filter), expected);
    }

    void openDialogKeepsItsNameOverACancel() {
        ScriptedPrompts prompts;
        window::TOpenDialog dialog(prompts);
        QCOMPARE(dialog.filter, QStringLiteral("Access Databases|*.mdb"));
        prompts.files = {QStringLiteral("/data/first.mdb"), std::nullopt};
        QVERIFY(dialog.execute());
        QCOMPARE(dialog.fileName, QStringLiteral("/data/first.mdb"));
        QVERIFY(!dialog.execute());
        QCOMPARE(dialog.fileName, QStringLiteral("/data/first.mdb"));
        // The second showing opened on the remembered name.
        QCOMPARE(prompts.shown.size(), std::size_t{2});
        QCOMPARE(prompts.shown[1].text, QStringLiteral("/data/first.mdb"));

        dialog.filter = QStringLiteral("SQL Schemas|*.sql");
        dialog.fileName.clear();
        prompts.files = {QStringLiteral("/data/schema.sql")};
        QVERIFY(dialog.execute());
        QCOMPARE(prompts.shown[2].filter, QStringLiteral("SQL Schemas|*.sql"));
        QCOMPARE(prompts.shown[2].text, QString());
        QCOMPARE(dialog.fileName, QStringLiteral("/data/schema.sql"));
    }

    void saveDialogIsPresetByTheCaller() {
        ScriptedPrompts prompts;
        window::TSaveDialog dialog(prompts);
        dialog.fileName = QStringLiteral("Customers");
        prompts.files = {QStringLiteral("/data/Customers")};
        QVERIFY(dialog.execute());
        QCOMPARE(prompts.shown[0].filter, QStringLiteral("SQL Schemas|*.sql"));
        QCOMPARE(prompts.shown[0].text, QStringLiteral("Customers"));
        QCOMPARE(dialog.fileName, QStringLiteral("/data/Customers"));
        QVERIFY(!dialog.execute());
        QCOMPARE(prompts.unanswered, 1);
    }

    void windowSharesOneOpenDialog() {
        auto scripted = std::make_unique<ScriptedPrompts>();
        ScriptedPrompts& prompts = *scripted;
        app::TForm1 form(std::move(scripted));
        prompts.files = {QStringLiteral("/data/a.mdb"), std::nullopt};
        QVERIFY(form.workspace().openDialog().execute());
        QVERIFY(!form.workspace().openDialog().execute());
        QCOMPARE(form.workspace().openDialog().fileName, QStringLiteral("/data/a.mdb"));
        QCOMPARE(prompts.shown[1].kind, ScriptedPrompts::Kind::OpenFile);
    }

    void decodesTheLogo() {
        QFile file(QStringLiteral(":/logos/logo.jpg"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QImage logo = decode(file.readAll());
        QCOMPARE(logo.size(), QSize(429, 97));
        // Dark blue at the top, lighter blue at the bottom of the left margin.
        const QColor top = logo.pixelColor(2, 2);
        const QColor bottom = logo.pixelColor(2, 94);
        QVERIFY2(top.blue() > top.red() && top.value() < 100, qPrintable(top.name()));
        QVERIFY2(bottom.value() > top.value() + 30, qPrintable(bottom.name()));
    }

    void rejectsWhatIsNotAJpeg_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("Tablory is not a picture");
        QTest::newRow("start marker only") << QByteArray("\xff\xd8\xff", 3);
        QFile bitmap(QStringLiteral(":/logos/logo256.bmp"));
        QVERIFY(bitmap.open(QIODevice::ReadOnly));
        QTest::newRow("bitmap") << bitmap.readAll();
    }
    void rejectsWhatIsNotAJpeg() {
        QFETCH(QByteArray, bytes);
        QVERIFY(decode(bytes).isNull());
    }
};

QTEST_MAIN(PromptsTest)
#include "PromptsTest.moc"
