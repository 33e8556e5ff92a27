#pragma once
// The main window for the Database page tests: real files in a scratch folder, the page's
// controls at hand, and database files made straight through the storage engine.
#include "WindowHelpers.h"

#include "core/Value.h"
#include "jet/Database.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <string>
#include <vector>

namespace test {

// A table of `rows` rows (ID counter, Name text(50) "Row <i>"), for files the tests make.
struct TableRows {
    std::string name;
    int rows = 0;
};

inline jet::ColumnDef makeColumn(const std::string& name, jet::ColumnType type, std::uint16_t size,
                                 std::uint8_t flags = 0) {
    jet::ColumnDef column;
    column.name = name;
    column.type = type;
    column.size = size;
    column.flags = flags;
    return column;
}

inline std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// A Jet 4 file holding these tables, written in one transaction.
inline void makeDatabase(const QString& path, const std::vector<TableRows>& tables,
                         const std::string& password = {}) {
    auto db = jet::Database::create(fsPath(path), password);
    db->begin();
    for (const TableRows& table : tables) {
        jet::TableSchema schema;
        schema.name = table.name;
        schema.columns = {makeColumn("ID", jet::ColumnType::Long, 4, jet::column_flag::kAutoLong),
                          makeColumn("Name", jet::ColumnType::Text, 100)};
        db->createTable(schema);
        for (int i = 1; i <= table.rows; ++i)
            db->insertRow(table.name, {core::Value(), core::Value("Row " + std::to_string(i))});
    }
    db->commit();
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

// The names in a folder, sorted.
inline QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

struct DatabaseWindow : Window {
    QTemporaryDir scratch;

    // Shown and activated, as the user finds it.
    bool show() {
        form->show();
        return QTest::qWaitForWindowActive(form.get());
    }

    // A path in the scratch folder, written as the user types it on this platform.
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(scratch.path() + QLatin1Char('/') + name);
    }

    template <typename T> T& get(const char* name) { return child<T>(*form, name); }
    QLineEdit& dbname() { return get<QLineEdit>("dbname"); }
    QLineEdit& dbpass() { return get<QLineEdit>("dbpass"); }
    QComboBox& dbtabs() { return get<QComboBox>("dbtabs"); }
    QStringList tabs() { return shownTabs(get<QTabWidget>("Book")); }
    QStringList listedTables() {
        QStringList names;
        for (int i = 0; i < dbtabs().count(); ++i) names << dbtabs().itemText(i);
        return names;
    }

    void click(const char* button) {
        QTest::mouseClick(&get<QAbstractButton>(button), Qt::LeftButton);
    }
    // Open, the open dialog answering with this file (nothing: the user cancels).
    void open(const std::optional<QString>& answer) {
        prompts->files.push_back(answer);
        click("btnO");
    }
    void createNew(const QString& path, const QString& password = {}) {
        dbname().setText(path);
        dbpass().setText(password);
        click("N");
    }
    void compact(const std::optional<QString>& answer) {
        prompts->files.push_back(answer);
        click("Button7");
    }

    std::vector<QString> informations() const {
        return prompts->texts(ScriptedPrompts::Kind::Information);
    }
    std::vector<QString> errors() const { return prompts->texts(ScriptedPrompts::Kind::Error); }
};

inline const QStringList allTabs{QStringLiteral("Database"), QStringLiteral("Table Creator"),
                                 QStringLiteral("Table Browser & Editor"),
                                 QStringLiteral("Query Builder"), QStringLiteral("Execute SQL ")};

} // namespace test
