#include "controls/TwwFilterDlg.h"

#include "controls/FilterDateEdit.h"
#include "controls/FilterSummary.h"
#include "controls/InformationBox.h"
#include "data/TCustomADODataSet.h"
#include "ui_TwwFilterDlg.h"

#include <QKeyEvent>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>

namespace controls {
namespace {

using data::FilterCriterion;
using data::FilterMatchType;

} // namespace

TwwFilterDlg::TwwFilterDlg(const data::TCustomADODataSet& dataSet,
                           std::vector<FilterCriterion> criteria, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TwwFilterDlg>()), formats_(dataSet.formats()) {
    ui_->setupUi(this);
    setFixedSize(size());
    ui_->MinDateEdit->setFormats(formats_);
    ui_->MaxDateEdit->setFormats(formats_);
    QTabBar& tabs = *ui_->FieldTabSet;
    tabs.setShape(QTabBar::RoundedSouth);
    tabs.setExpanding(false);
    tabs.addTab(QStringLiteral("&All"));
    tabs.addTab(QStringLiteral("&Searched"));

    offerFields(dataSet);
    for (FilterCriterion& criterion : criteria)
        if (!criterion.empty()) criteria_.push_back(std::move(criterion));
    connectHandlers();

    ui_->OKButton->setEnabled(false);
    int first = 0;
    if (!criteria_.empty()) {
        tab_ = SearchedTab;
        for (first = 0; first < static_cast<int>(fields_.size()); ++first)
            if (criterionOf(fields_[static_cast<std::size_t>(first)])) break;
    }
    {
        const QSignalBlocker blocker(ui_->FieldTabSet);
        ui_->FieldTabSet->setCurrentIndex(tab_);
    }
    fillList(first);
}

TwwFilterDlg::~TwwFilterDlg() = default;

void TwwFilterDlg::offerFields(const data::TCustomADODataSet& dataSet) {
    // Bytes cannot be searched; memo fields can.
    for (std::size_t i = 0; i < dataSet.fieldCount(); ++i) {
        const data::TField& field = dataSet.field(i);
        if (data::isBinaryType(field.dataType())) continue;
        const QString label = QString::fromStdString(field.displayLabel());
        if (std::any_of(fields_.begin(), fields_.end(),
                        [&](const Offered& offered) { return offered.label == label; }))
            continue;
        fields_.push_back({label, field.fieldName(), field.dataType()});
    }
}

std::array<QLineEdit*, 5> TwwFilterDlg::allInputs() const {
    return {ui_->FilterValueEdit, ui_->MinValueEdit, ui_->MaxValueEdit, ui_->MinDateEdit,
            ui_->MaxDateEdit};
}

void TwwFilterDlg::connectHandlers() {
    connect(ui_->FieldsListBox, &QListWidget::currentRowChanged, this,
            [this] { FieldsListBoxClick(); });
    for (QRadioButton* order : {ui_->FieldOrderAlphabetic, ui_->FieldOrderLogical})
        connect(order, &QRadioButton::clicked, this, [this] { FieldOrderClick(); });
    connect(ui_->FieldTabSet, &QTabBar::currentChanged, this, [this](int tab) {
        if (tab == tab_ || FieldTabSetChanging(tab)) return;
        const QSignalBlocker blocker(ui_->FieldTabSet);
        ui_->FieldTabSet->setCurrentIndex(tab_);
    });
    for (QAbstractButton* choice : std::initializer_list<QAbstractButton*>{
             ui_->ExactMatch, ui_->StartMatch, ui_->AnywhereMatch, ui_->CaseSensitive})
        connect(choice, &QAbstractButton::clicked, this, [this] { changed(); });
    for (QLineEdit* input : allInputs()) {
        connect(input, &QLineEdit::textEdited, this, [this] { changed(); });
        connect(input, &QLineEdit::textChanged, this, [this] { updateButtons(); });
        input->installEventFilter(this);
    }
    for (FilterDateEdit* picker : {ui_->MinDateEdit, ui_->MaxDateEdit})
        connect(picker, &FilterDateEdit::datePicked, this, [this] { changed(); });
    ui_->CaseSensitive->installEventFilter(this);
    ui_->FieldsListBox->installEventFilter(this);
    auto clearing = [this](QPushButton* button, auto input) {
        connect(button, &QPushButton::clicked, this, [this, input] {
            QLineEdit& edit = (this->*input)();
            edit.clear();
            edit.setFocus();
            changed();
        });
    };
    clearing(ui_->FilterValueClearButton, &TwwFilterDlg::valueInput);
    clearing(ui_->MinValueClearButton, &TwwFilterDlg::startInput);
    clearing(ui_->MaxValueClearButton, &TwwFilterDlg::endInput);
    connect(ui_->ViewButton, &QPushButton::clicked, this, [this] { ViewButtonClick(); });
    connect(ui_->ClearSearchButton, &QPushButton::clicked, this,
            [this] { ClearSearchButtonClick(); });
    connect(ui_->OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString TwwFilterDlg::currentField() const {
    return ui_->FieldCriteria->text();
}

const FilterCriterion* TwwFilterDlg::criterionOf(const Offered& field) const {
    const std::string label = field.label.toStdString();
    for (const FilterCriterion& criterion : criteria_)
        if (criterion.fieldLabel == label) return &criterion;
    return nullptr;
}

bool TwwFilterDlg::isDateField() const {
    return current_ >= 0 &&
           fields_[static_cast<std::size_t>(current_)].type == data::FieldType::DateTime;
}

QLineEdit& TwwFilterDlg::valueInput() const {
    return *ui_->FilterValueEdit;
}

QLineEdit& TwwFilterDlg::startInput() const {
    return isDateField() ? static_cast<QLineEdit&>(*ui_->MinDateEdit) : *ui_->MinValueEdit;
}

QLineEdit& TwwFilterDlg::endInput() const {
    return isDateField() ? static_cast<QLineEdit&>(*ui_->MaxDateEdit) : *ui_->MaxValueEdit;
}

QWidget& TwwFilterDlg::firstInput() const {
    if (ui_->SelectNotebook->currentWidget() == ui_->RangePage) return startInput();
    return valueInput();
}

void TwwFilterDlg::fillList(int selectField) {
    std::vector<int> listed;
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i)
        if (tab_ == AllTab || criterionOf(fields_[static_cast<std::size_t>(i)]))
            listed.push_back(i);
    if (ui_->FieldOrderAlphabetic->isChecked())
        std::stable_sort(listed.begin(), listed.end(), [this](int a, int b) {
            return fields_[static_cast<std::size_t>(a)].label.compare(
                       fields_[static_cast<std::size_t>(b)].label, Qt::CaseInsensitive) < 0;
        });
    QListWidget& list = *ui_->FieldsListBox;
    const QSignalBlocker blocker(&list);
    list.clear();
    int row = 0;
    for (int i = 0; i < static_cast<int>(listed.size()); ++i) {
        auto* item = new QListWidgetItem(fields_[static_cast<std::size_t>(listed[i])].label);
        item->setData(Qt::UserRole, listed[i]);
        list.addItem(item);
        if (listed[i] == selectField) row = i;
    }
    if (listed.empty()) {
        current_ = -1;
        ui_->FieldCriteria->clear();
        return;
    }
    list.setCurrentRow(row);
    loadField(listed[static_cast<std::size_t>(row)]);
}

void TwwFilterDlg::loadField(int field) {
    current_ = field;
    const Offered& offered = fields_[static_cast<std::size_t>(field)];
    ui_->FieldCriteria->setText(offered.label);
    const bool date = isDateField();
    ui_->MinValueEdit->setVisible(!date);
    ui_->MaxValueEdit->setVisible(!date);
    ui_->MinDateEdit->setVisible(date);
    ui_->MaxDateEdit->setVisible(date);
    ui_->MinLabel->setBuddy(&startInput());
    ui_->MaxLabel->setBuddy(&endInput());
    for (QLineEdit* input : allInputs()) input->clear();
    ui_->StartMatch->setChecked(true);
    ui_->CaseSensitive->setChecked(false);
    const FilterCriterion* criterion = criterionOf(offered);
    bool byRange = data::comparesByValue(offered.type);
    if (criterion && criterion->matchType == FilterMatchType::Range) {
        byRange = true;
        startInput().setText(QString::fromStdString(criterion->start));
        endInput().setText(QString::fromStdString(criterion->end));
    } else if (criterion) {
        byRange = false;
        valueInput().setText(QString::fromStdString(criterion->value));
        ui_->ExactMatch->setChecked(criterion->matchType == FilterMatchType::Exact);
        ui_->AnywhereMatch->setChecked(criterion->matchType == FilterMatchType::Anywhere);
        ui_->StartMatch->setChecked(criterion->matchType == FilterMatchType::Start);
        ui_->CaseSensitive->setChecked(criterion->caseSensitive);
    }
    ui_->SelectNotebook->setCurrentWidget(byRange ? ui_->RangePage : ui_->ValuePage);
    updateButtons();
}

void TwwFilterDlg::refuse(QWidget* page, QLineEdit& input) {
    ui_->SelectNotebook->setCurrentWidget(page);
    input.selectAll();
    input.setFocus();
}

bool TwwFilterDlg::storeField() {
    if (current_ < 0) return true;
    const Offered& offered = fields_[static_cast<std::size_t>(current_)];
    FilterCriterion criterion;
    criterion.fieldLabel = offered.label.toStdString();
    criterion.fieldName = offered.name;
    if (ui_->SelectNotebook->currentWidget() == ui_->ValuePage) {
        criterion.value = valueInput().text().toStdString();
        if (!data::validFilterValue(criterion.value, offered.type, formats_)) {
            refuse(ui_->ValuePage, valueInput());
            return false;
        }
        criterion.matchType = ui_->ExactMatch->isChecked()      ? FilterMatchType::Exact
                              : ui_->AnywhereMatch->isChecked() ? FilterMatchType::Anywhere
                                                                : FilterMatchType::Start;
        criterion.caseSensitive = ui_->CaseSensitive->isChecked();
    } else {
        criterion.matchType = FilterMatchType::Range;
        for (QLineEdit* input : {&startInput(), &endInput()}) {
            std::string text = input->text().trimmed().toStdString();
            if (!data::validFilterBound(text, offered.type, formats_)) {
                refuse(ui_->RangePage, *input);
                return false;
            }
            // A picked date is kept as the locale writes it, with its time only when it has one.
            if (isDateField() && !text.empty())
                text = data::formatDateTime(*data::parseDateTime(text, formats_), formats_);
            (input == &startInput() ? criterion.start : criterion.end) = text;
        }
    }
    auto kept = std::find_if(criteria_.begin(), criteria_.end(), [&](const FilterCriterion& c) {
        return c.fieldLabel == criterion.fieldLabel;
    });
    if (criterion.empty()) {
        if (kept != criteria_.end()) criteria_.erase(kept);
    } else if (kept != criteria_.end()) {
        *kept = std::move(criterion);
    } else {
        criteria_.push_back(std::move(criterion));
    }
    updateButtons();
    return true;
}

void TwwFilterDlg::removeCriterion(const QString& label) {
    const std::string name = label.toStdString();
    std::erase_if(criteria_, [&](const FilterCriterion& c) { return c.fieldLabel == name; });
}

void TwwFilterDlg::FieldsListBoxClick() {
    const QListWidgetItem* item = ui_->FieldsListBox->currentItem();
    const int field = item ? item->data(Qt::UserRole).toInt() : -1;
    if (field < 0 || field == current_) return;
    if (!storeField()) {
        // The wrong input keeps its field selected.
        const QSignalBlocker blocker(ui_->FieldsListBox);
        for (int row = 0; row < ui_->FieldsListBox->count(); ++row)
            if (ui_->FieldsListBox->item(row)->data(Qt::UserRole).toInt() == current_)
                ui_->FieldsListBox->setCurrentRow(row);
        return;
    }
    loadField(field);
}

void TwwFilterDlg::FieldOrderClick() {
    if (!storeField()) return;
    fillList(current_);
}

bool TwwFilterDlg::FieldTabSetChanging(int tab) {
    if (!storeField()) return false;
    if (tab == SearchedTab && criteria_.empty()) {
        informNoCriteria();
        return false;
    }
    tab_ = tab;
    fillList(current_);
    return true;
}

void TwwFilterDlg::ViewButtonClick() {
    if (!storeField()) return;
    if (criteria_.empty()) {
        informNoCriteria();
        return;
    }
    showFilterSummary(this, criteria_);
}

void TwwFilterDlg::ClearSearchButtonClick() {
    criteria_.clear();
    tab_ = AllTab;
    {
        const QSignalBlocker blocker(ui_->FieldTabSet);
        ui_->FieldTabSet->setCurrentIndex(AllTab);
    }
    fillList(current_);
    changed();
    firstInput().setFocus();
}

void TwwFilterDlg::informNoCriteria() {
    showInformation(this, QStringLiteral("You have not selected any search criteria"));
}

void TwwFilterDlg::moveSelection(int distance) {
    if (!storeField()) return;
    QListWidget& list = *ui_->FieldsListBox;
    if (list.count() == 0) return;
    const int row = std::clamp(list.currentRow() + distance, 0, list.count() - 1);
    list.setCurrentRow(row);
    firstInput().setFocus();
}

bool TwwFilterDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == ui_->FieldsListBox) {
        if (key->key() != Qt::Key_Delete || tab_ != SearchedTab) return false;
        if (const QListWidgetItem* item = ui_->FieldsListBox->currentItem())
            removeCriterion(item->text());
        if (criteria_.empty()) {
            tab_ = AllTab;
            const QSignalBlocker blocker(ui_->FieldTabSet);
            ui_->FieldTabSet->setCurrentIndex(AllTab);
        }
        const int shown = current_;
        current_ = -1; // its criterion is gone: nothing to store
        fillList(shown);
        changed();
        return true;
    }
    const int rows = std::max(1, ui_->FieldsListBox->viewport()->height() /
                                     std::max(1, ui_->FieldsListBox->sizeHintForRow(0)));
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (key->modifiers() & Qt::AltModifier) return false;
        // A date picker holding a date steps it instead.
        const auto* picker = qobject_cast<const FilterDateEdit*>(watched);
        if (picker && picker->date()) return false;
        moveSelection(key->key() == Qt::Key_Up ? -1 : 1);
        return true;
    }
    case Qt::Key_PageUp:
        moveSelection(-rows);
        return true;
    case Qt::Key_PageDown:
        moveSelection(rows);
        return true;
    default:
        return false;
    }
}

void TwwFilterDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
    firstInput().setFocus();
}

void TwwFilterDlg::changed() {
    ui_->OKButton->setEnabled(true);
    updateButtons();
}

void TwwFilterDlg::updateButtons() {
    ui_->FilterValueClearButton->setEnabled(!valueInput().text().isEmpty());
    ui_->MinValueClearButton->setEnabled(!startInput().text().isEmpty());
    ui_->MaxValueClearButton->setEnabled(!endInput().text().isEmpty());
    ui_->ClearSearchButton->setEnabled(!criteria_.empty());
}

void TwwFilterDlg::done(int result) {
    if (result == QDialog::Accepted && !storeField()) return;
    QDialog::done(result);
}

} // namespace controls
