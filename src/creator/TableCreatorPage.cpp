#include "creator/TableCreatorPage.h"

#include "app/TForm1.h"
#include "creator/ColumnDefinition.h"
#include "creator/MemoText.h"
#include "creator/SchemaFile.h"
#include "creator/TrimmedText.h"
#include "ui_TableCreatorPage.h"

namespace creator {

TableCreatorPage::TableCreatorPage(app::TForm1& form, QWidget* page)
    : QWidget(page), ui_(std::make_unique<Ui::TableCreatorPage>()), form_(form) {
    ui_->setupUi(this);
    const auto onClick = [this](QPushButton* button, void (TableCreatorPage::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                form_.guarded([this, handler] { (this->*handler)(); }));
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
    if (form_.ColumnList.Contains(listed)) {
        form_.prompts().information(QStringLiteral("Field/Column Name Already used..."));
        return;
    }
    // The name counts as used even when no type is chosen yet and no line follows.
    form_.ColumnList.Append(listed);
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
    form_.ColumnList.ResetCount();
}

void TableCreatorPage::btnExecuteSQLClick() {
    form_.command().execute(memoText(*ui_->tablez).toStdString());
    form_.prompts().information(QStringLiteral("Table Created/Altered"));
}

void TableCreatorPage::btnIndexClick() {
    form_.command().execute(memoText(*ui_->indexz).toStdString());
    form_.prompts().information(QStringLiteral("Index Created/Altered"));
}

void TableCreatorPage::btnSQLexpClick() {
    app::TSaveDialog& dialog = form_.SaveDialog1;
    dialog.fileName = ui_->table_name->text();
    // A cancelled dialog chose no file, so nothing is written.
    if (!dialog.execute()) return;
    saveSchemaFile(schemaFileName(dialog.fileName), memoText(*ui_->tablez));
}

void TableCreatorPage::btnSQLimpClick() {
    app::TOpenDialog& dialog = form_.OpenDialog1;
    dialog.filter = QStringLiteral("SQL Schemas|*.sql");
    // A cancel leaves the schema text alone: the dialog keeps the name it held, but that file
    // was not chosen this time.
    if (!dialog.execute() || dialog.fileName.isEmpty()) return;
    setMemoText(*ui_->tablez, loadSchemaFile(dialog.fileName));
}

} // namespace creator
