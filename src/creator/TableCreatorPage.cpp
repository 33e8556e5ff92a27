#include "creator/TableCreatorPage.h"

#include "controls/MemoText.h"
#include "controls/TrimmedText.h"
#include "creator/ColumnDefinition.h"
#include "creator/SchemaFile.h"
#include "ui_TableCreatorPage.h"
#include "window/Workspace.h"

#include <QLineEdit>

namespace creator {

using controls::appendMemoLine;
using controls::memoText;
using controls::setMemoText;
using controls::trimmedText;

TableCreatorPage::TableCreatorPage(window::Workspace& workspace, QWidget* page)
    : QWidget(page), ui_(std::make_unique<Ui::TableCreatorPage>()), workspace_(workspace) {
    ui_->setupUi(this);
    workspace_.setTableNameText(ui_->table_name->text());
    connect(ui_->table_name, &QLineEdit::textChanged, this,
            [this](const QString& text) { workspace_.setTableNameText(text); });
    const auto onClick = [this](QPushButton* button, void (TableCreatorPage::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                workspace_.guarded([this, handler] { (this->*handler)(); }));
    };
    onClick(ui_->btnFieldAdd, &TableCreatorPage::btnFieldAddClick);
    onClick(ui_->btnCreate, &TableCreatorPage::btnCreateClick);
    onClick(ui_->schema_header, &TableCreatorPage::schema_headerClick);
    onClick(ui_->btnExecuteSQL, &TableCreatorPage::btnExecuteSQLClick);
    onClick(ui_->btnIndex, &TableCreatorPage::btnIndexClick);
    onClick(ui_->btnSQLexp, &TableCreatorPage::btnSQLexpClick);
    onClick(ui_->btnSQLimp, &TableCreatorPage::btnSQLimpClick);
}

TableCreatorPage::~TableCreatorPage() = default;

void TableCreatorPage::btnFieldAddClick() {
    appendColumn(QLatin1Char(','));
}

void TableCreatorPage::btnCreateClick() {
    appendColumn(QLatin1Char(')'));
}

void TableCreatorPage::appendColumn(QChar terminator) {
    const QString name = trimmedText(ui_->col_name->text());
    const std::string listed = name.toStdString();
    if (workspace_.columnList().Contains(listed)) {
        workspace_.prompts().information(QStringLiteral("Field/Column Name Already used..."));
        return;
    }
    // The name counts as used even when no type is chosen yet and no line follows.
    workspace_.columnList().Append(listed);
    const std::optional<QString> line =
        columnDefinition({.name = name,
                          .type = ui_->col_type->currentText(),
                          .length = ui_->col_len->text(),
                          .notNull = ui_->cbNull->isChecked(),
                          .withDefault = ui_->cbDefault->isChecked(),
                          .defaultValue = ui_->ebDefault->text()},
                         terminator);
    if (line) appendMemoLine(*ui_->tablez, *line);
}

void TableCreatorPage::schema_headerClick() {
    const QString table = ui_->table_name->text();
    ui_->tablez->clear();
    appendMemoLine(*ui_->tablez, QStringLiteral("create table ") + table + QStringLiteral(" ("));
    ui_->indexz->clear();
    appendMemoLine(*ui_->indexz, QStringLiteral("create index INDEX_NAME on ") +
                                     trimmedText(table) +
                                     QStringLiteral("(COLUMN_NAME) with primary"));
    workspace_.columnList().ResetCount();
}

void TableCreatorPage::btnExecuteSQLClick() {
    workspace_.command().execute(memoText(*ui_->tablez).toStdString());
    workspace_.prompts().information(QStringLiteral("Table Created/Altered"));
}

void TableCreatorPage::btnIndexClick() {
    workspace_.command().execute(memoText(*ui_->indexz).toStdString());
    workspace_.prompts().information(QStringLiteral("Index Created/Altered"));
}

void TableCreatorPage::btnSQLexpClick() {
    window::TSaveDialog& dialog = workspace_.saveDialog();
    dialog.fileName = ui_->table_name->text();
    // A cancelled dialog chose no file, so nothing is written.
    if (!dialog.execute()) return;
    saveSchemaFile(schemaFileName(dialog.fileName), memoText(*ui_->tablez));
}

void TableCreatorPage::btnSQLimpClick() {
    window::TOpenDialog& dialog = workspace_.openDialog();
    dialog.filter = QStringLiteral("SQL Schemas|*.sql");
    // A cancel leaves the schema text alone: the dialog keeps the name it held, but that file
    // was not chosen this time.
    if (!dialog.execute() || dialog.fileName.isEmpty()) return;
    setMemoText(*ui_->tablez, loadSchemaFile(dialog.fileName));
}

} // namespace creator
