#include "builder/QueryBuilderPage.h"

#include "builder/QueryFiles.h"
#include "builder/QueryStatement.h"
#include "controls/BoxTextFile.h"
#include "controls/ComboCompletion.h"
#include "controls/ComboList.h"
#include "controls/MemoText.h"
#include "controls/TrimmedText.h"
#include "ui_QueryBuilderPage.h"
#include "window/Workspace.h"

#include <QShowEvent>

namespace builder {

using controls::appendMemoLine;
using controls::memoText;
using controls::setMemoText;

namespace {

const QString selectColumn = QStringLiteral("Select Column");
const QString comma = QStringLiteral(",");

// A box's new text from a query file; a box whose file fails keeps its old text.
void loadBox(QPlainTextEdit& box, const QString& path) {
    setMemoText(box, controls::readBoxTextFile(path, controls::memoCapacity));
}

} // namespace

QueryBuilderPage::QueryBuilderPage(window::Workspace& workspace, QWidget* page)
    : QWidget(page), ui_(std::make_unique<Ui::QueryBuilderPage>()), workspace_(workspace) {
    ui_->setupUi(this);
    ui_->hid->setVisible(false);
    ADODataSet1.setConnection(&workspace_.connection());
    DataSource2.setDataSet(&ADODataSet1);

    const controls::ErrorDisplay showError = [&workspace](const std::exception& error) {
        workspace.showException(error);
    };
    controls::TwwDBGrid& grid = *ui_->wwDBGrid2;
    grid.setDataSource(&DataSource2);
    grid.setReadOnly(true);
    grid.setConfirmations(&workspace_.prompts());
    grid.setErrorDisplay(showError);
    controls::TwwDBNavigator& navigator = *ui_->wwDBNavigator1;
    navigator.setButtonNames(
        controls::TwwDBNavigator::numberedNames(QStringLiteral("wwNavButton")));
    navigator.setDataSource(&DataSource2);
    navigator.setConfirmations(&workspace_.prompts());
    navigator.setErrorDisplay(showError);

    auto* tables = new controls::ComboCompletion(*ui_->ComboBox1);
    connect(tables, &controls::ComboCompletion::userChanged, this,
            workspace_.guarded([this] { ComboBox1Change(); }));
    new controls::ComboCompletion(*ui_->ComboBox2);

    const auto onClick = [this](QPushButton* button, void (QueryBuilderPage::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                workspace_.guarded([this, handler] { (this->*handler)(); }));
    };
    onClick(ui_->Button1, &QueryBuilderPage::Button1Click);
    onClick(ui_->Button5, &QueryBuilderPage::Button5Click);
    onClick(ui_->Button3, &QueryBuilderPage::Button3Click);
    onClick(ui_->Button4, &QueryBuilderPage::Button4Click);
    onClick(ui_->Button2, &QueryBuilderPage::Button2Click);
    // The title buttons run the browser's column sort, on the browser's query.
    connect(&grid, &controls::TwwDBGrid::titleButtonClick, this,
            [this](const QString& field) { emit workspace_.browserSortRequested(field); });
}

QueryBuilderPage::~QueryBuilderPage() {
    ui_->wwDBGrid2->setDataSource(nullptr);
    ui_->wwDBNavigator1->setDataSource(nullptr);
}

void QueryBuilderPage::showEvent(QShowEvent* event) {
    // The window coming back from being minimised is no showing of the page.
    if (!event->spontaneous()) workspace_.runHandler([this] { tsQBShow(); });
    QWidget::showEvent(event);
}

void QueryBuilderPage::tsQBShow() {
    // Emptied first, so a listing that fails leaves an empty list.
    controls::fillComboList(*ui_->ComboBox1, {});
    controls::fillComboList(*ui_->ComboBox1, workspace_.connection().tableNames());
}

void QueryBuilderPage::ComboBox1Change() {
    const std::string table = ui_->ComboBox1->currentText().toStdString();
    controls::fillComboList(*ui_->ComboBox2, workspace_.connection().fieldNames(table));
}

void QueryBuilderPage::Button1Click() {
    const QString column = ui_->ComboBox2->currentText();
    if (column == selectColumn) return;
    const QString entry = selectEntry(ui_->ComboBox1->currentText(), column);
    window::NameList& columns = workspace_.columnList();
    if (columns.Contains(entry.toStdString())) {
        // A repeat is written only on Yes, and never recorded twice.
        if (workspace_.prompts().confirmation(
                QStringLiteral("Column Already Selected, Add again?")))
            appendMemoLine(*ui_->mSelect, comma + entry);
    } else {
        const bool first = columns.count() == 0;
        columns.Append(entry.toStdString());
        appendMemoLine(*ui_->mSelect, first ? entry : comma + entry);
    }
    const QString from = fromEntry(ui_->ComboBox1->currentText());
    window::NameList& tables = workspace_.tableList();
    if (!tables.Contains(from.toStdString())) {
        const bool first = tables.count() == 0;
        tables.Append(from.toStdString());
        appendMemoLine(*ui_->mfrom, first ? from : comma + from);
    }
    ui_->ComboBox2->setEditText(selectColumn);
}

void QueryBuilderPage::Button5Click() {
    workspace_.tableList().ResetCount();
    workspace_.columnList().ResetCount();
    ui_->mSelect->clear();
    ui_->mfrom->clear();
    ui_->mWhere->clear();
}

QString QueryBuilderPage::queryStatement() const {
    return builder::queryStatement(memoText(*ui_->mSelect), memoText(*ui_->mfrom),
                                   memoText(*ui_->mWhere));
}

void QueryBuilderPage::Button3Click() {
    const QString statement = queryStatement();
    // Closing discards a change to a result record that was not posted.
    ADODataSet1.close();
    ADODataSet1.setCommandText(statement.toStdString());
    // A failing open leaves the data set closed and the grid empty; the requery is skipped.
    ADODataSet1.open();
    ADODataSet1.requery();
}

void QueryBuilderPage::Button4Click() {
    window::TSaveDialog& dialog = workspace_.saveDialog();
    dialog.fileName = workspace_.tableNameText();
    // A cancelled dialog chose no name: nothing is written and nothing is recorded.
    if (!dialog.execute()) return;
    // Nor when it returns a blank name, which would put hidden files in the current folder.
    if (controls::trimmedText(dialog.fileName).isEmpty()) return;
    const QueryFileSet files = savedQueryFiles(dialog.fileName);
    // Each file replaces its old self only once it is written whole; a failure stops here,
    // the files written before it staying.
    controls::writeBoxTextFile(files.select, memoText(*ui_->mSelect));
    controls::writeBoxTextFile(files.from, memoText(*ui_->mfrom));
    controls::writeBoxTextFile(files.where, memoText(*ui_->mWhere));
    appendMemoLine(*ui_->hid, queryStatement());
    controls::writeBoxTextFile(files.record, memoText(*ui_->hid));
}

void QueryBuilderPage::Button2Click() {
    window::TOpenDialog& dialog = workspace_.openDialog();
    dialog.fileName.clear();
    dialog.filter = QStringLiteral("Tablory Query|*.sqlqws");
    if (!dialog.execute() || dialog.fileName.isEmpty()) return;
    const QueryFileSet files = loadedQueryFiles(dialog.fileName);
    loadBox(*ui_->mSelect, files.select);
    loadBox(*ui_->mfrom, files.from);
    loadBox(*ui_->mWhere, files.where);
}

} // namespace builder
