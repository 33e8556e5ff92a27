#include "controls/SearchDialog.h"

#include "controls/TwwDBGrid.h"
#include "data/TCustomADODataSet.h"
#include "ui_SearchDialog.h"

namespace controls {

SearchDialog::SearchDialog(data::TCustomADODataSet& dataSet, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::SearchDialog>()), dataSet_(dataSet) {
    ui_->setupUi(this);
    ui_->SearchField->setToolTip(QStringLiteral("Enter characters for incremental search"));
    source_.setAutoEdit(false);
    source_.setDataSet(&dataSet_);
    ui_->SearchGrid->setDataSource(&source_);
    ui_->SearchGrid->setReadOnly(true);
    delay_.setSingleShot(true);
    delay_.setInterval(searchDelay);
    connect(&delay_, &QTimer::timeout, this, [this] { searchNow(); });
    connect(ui_->SearchField, &QLineEdit::textEdited, this, [this] { delay_.start(); });
    connect(ui_->SearchGrid, &TwwDBGrid::recordDoubleClicked, this, &QDialog::accept);
    connect(ui_->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

SearchDialog::~SearchDialog() {
    ui_->SearchGrid->setDataSource(nullptr);
}

QLineEdit& SearchDialog::searchField() const {
    return *ui_->SearchField;
}

TwwDBGrid& SearchDialog::grid() const {
    return *ui_->SearchGrid;
}

void SearchDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    start_ = dataSet_.bookmark();
    ui_->SearchField->setFocus();
}

void SearchDialog::searchNow() {
    delay_.stop();
    if (!dataSet_.active() || dataSet_.fieldCount() == 0) return;
    const std::string text = ui_->SearchField->text().toStdString();
    try {
        if (text.empty())
            dataSet_.first();
        else
            dataSet_.locate(dataSet_.field(0).fieldName(), core::Value(text),
                            {.caseInsensitive = true, .partialKey = true});
    } catch (const std::exception&) {
        // Text that the first field cannot hold searches nothing.
    }
}

void SearchDialog::done(int result) {
    // OK right after typing: the search the timer was waiting for runs first.
    if (result == QDialog::Accepted && delay_.isActive()) searchNow();
    delay_.stop();
    if (result == QDialog::Rejected && dataSet_.bookmarkValid(start_)) {
        try {
            dataSet_.gotoBookmark(start_);
        } catch (const std::exception&) {
            // The record is gone: the position stays.
        }
    }
    QDialog::done(result);
}

} // namespace controls
