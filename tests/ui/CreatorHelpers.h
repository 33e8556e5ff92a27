#pragma once
// The main window for the Table Creator and Execute SQL tests: a recording command in place of
// the database, the working tabs shown, and the page's controls at hand by name.
#include "FakeCommand.h"
#include "WindowHelpers.h"
#include "controls/MemoText.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

namespace test {

struct CreatorWindow : Window {
    FakeCommand* command = nullptr;

    CreatorWindow() {
        auto fake = std::make_unique<FakeCommand>();
        command = fake.get();
        form->workspace().setCommand(std::move(fake));
    }

    // Shown as after an Open, with this page current. The first activation of the window
    // makes the Database page current, so the page is chosen after it.
    bool showPage(window::Page page) {
        showWorkingPages(*form);
        form->show();
        if (!QTest::qWaitForWindowActive(form.get())) return false;
        form->setCurrentPage(page);
        return form->tabSheet(page).isVisible();
    }

    template <typename T> T& get(const char* name) { return child<T>(*form, name); }
    QLineEdit& edit(const char* name) { return get<QLineEdit>(name); }
    QPlainTextEdit& box(const char* name) { return get<QPlainTextEdit>(name); }
    // The text of a multi-line box, lines separated by CR LF.
    QString text(const char* name) { return controls::memoText(box(name)); }

    void click(const char* button) {
        QTest::mouseClick(&get<QAbstractButton>(button), Qt::LeftButton);
    }
    void chooseType(const char* type) {
        QComboBox& types = get<QComboBox>("col_type");
        types.setCurrentIndex(types.findText(QLatin1String(type), Qt::MatchExactly));
    }
    // The column form's settings for the next column.
    void column(const char* name, const char* type, bool notNull = false) {
        edit("col_name").setText(QString::fromUtf8(name));
        chooseType(type);
        get<QCheckBox>("cbNull").setChecked(notNull);
    }

    // Part of the schema of the customers table: a counter ID and a required 50-letter Name.
    void buildCustomersSchema() {
        edit("table_name").setText(QStringLiteral("Customers"));
        click("schema_header");
        column("ID", "COUNTER");
        click("btnFieldAdd");
        column("Name", "TEXT", true);
        edit("col_len").setText(QStringLiteral("50"));
        click("btnCreate");
    }
};

inline const QString customersSchema =
    QStringLiteral("create table Customers (\r\n[ID] counter,\r\n[Name] text(50) not null)\r\n");

} // namespace test
