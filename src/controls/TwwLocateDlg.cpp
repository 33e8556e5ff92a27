#include "controls/TwwLocateDlg.h"

#include "controls/DialogBoxes.h"
#include "controls/FieldLabel.h"
#include "controls/WaitCursor.h"
#include "data/FieldType.h"
#include "data/TCustomADODataSet.h"
#include "ui_TwwLocateDlg.h"

#include <QAbstractItemView>
#include <QKeyEvent>

#include <algorithm>

namespace controls {
namespace {

bool isEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TwwLocateDlg::TwwLocateDlg(data::TCustomADODataSet& dataSet, DialogBoxes& boxes,
                           ErrorDisplay errors, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TwwLocateDlg>()), dataSet_(dataSet), boxes_(boxes),
      errors_(std::move(errors)) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    ui_->FieldNameComboBox->installEventFilter(this);
    ui_->FieldNameComboBox->view()->installEventFilter(this);
    connect(ui_->FirstButton, &QPushButton::clicked, this, &TwwLocateDlg::FindFirst);
    connect(ui_->NextButton, &QPushButton::clicked, this, &TwwLocateDlg::FindNextBtnClick);
    connect(ui_->CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->FieldNameComboBox, &QComboBox::currentIndexChanged, this,
            &TwwLocateDlg::FieldNameComboBoxChange);
    connect(ui_->FieldNameComboBox, &QComboBox::activated, this, [this] {
        // Enter in the dropped-down list closes it and goes on to the value.
        if (enterInList_) ui_->SearchValue->setFocus();
        enterInList_ = false;
    });
    ui_->SearchValue->setFocus();
}

TwwLocateDlg::~TwwLocateDlg() = default;

QLineEdit& TwwLocateDlg::searchValue() const {
    return *ui_->SearchValue;
}
QComboBox& TwwLocateDlg::fieldNameComboBox() const {
    return *ui_->FieldNameComboBox;
}
QPushButton& TwwLocateDlg::firstButton() const {
    return *ui_->FirstButton;
}
QPushButton& TwwLocateDlg::nextButton() const {
    return *ui_->NextButton;
}
QPushButton& TwwLocateDlg::closeButton() const {
    return *ui_->CloseButton;
}

void TwwLocateDlg::load(const LocateSettings& settings) {
    loading_ = true;
    QStringList labels;
    for (std::size_t i = 0; i < dataSet_.fieldCount(); ++i) {
        const data::TField& field = dataSet_.field(i);
        if (!data::isBinaryType(field.dataType())) labels << fieldLabel(field);
    }
    std::stable_sort(labels.begin(), labels.end());
    QComboBox& list = *ui_->FieldNameComboBox;
    list.clear();
    list.addItems(labels);
    const data::TField* stored =
        settings.searchField.empty() ? nullptr : dataSet_.findField(settings.searchField);
    const int index = stored ? list.findText(fieldLabel(*stored)) : -1;
    list.setCurrentIndex(index);
    ui_->SearchValue->setText(index >= 0 ? QString::fromStdString(settings.searchValue)
                                         : QString());
    ui_->CaseSensitiveCheckBox->setChecked(settings.caseSensitive);
    ui_->ExactMatchBtn->setChecked(settings.matchType == data::MatchType::Exact);
    ui_->PartialMatchStartBtn->setChecked(settings.matchType == data::MatchType::PartialMatchStart);
    ui_->PartialMatchAnyBtn->setChecked(settings.matchType == data::MatchType::PartialMatchAny);
    loading_ = false;
}

LocateSettings TwwLocateDlg::settings() const {
    LocateSettings settings;
    settings.searchField = chosenFieldName();
    settings.searchValue = ui_->SearchValue->text().toStdString();
    settings.caseSensitive = ui_->CaseSensitiveCheckBox->isChecked();
    settings.matchType = ui_->ExactMatchBtn->isChecked() ? data::MatchType::Exact
                         : ui_->PartialMatchAnyBtn->isChecked()
                             ? data::MatchType::PartialMatchAny
                             : data::MatchType::PartialMatchStart;
    return settings;
}

std::string TwwLocateDlg::chosenFieldName() const {
    if (ui_->FieldNameComboBox->currentIndex() < 0 || !dataSet_.active()) return {};
    const QString label = ui_->FieldNameComboBox->currentText();
    for (std::size_t i = 0; i < dataSet_.fieldCount(); ++i)
        if (fieldLabel(dataSet_.field(i)) == label) return dataSet_.field(i).fieldName();
    return {};
}

void TwwLocateDlg::FindFirst() {
    search(true);
}

void TwwLocateDlg::FindNextBtnClick() {
    search(false);
}

void TwwLocateDlg::search(bool first) {
    bool found = false;
    const bool ran = runGuarded(errors_, [&] {
        const LocateSettings chosen = settings();
        const data::LocateRequest request{chosen.searchField, chosen.searchValue, chosen.matchType,
                                          chosen.caseSensitive};
        WaitCursor wait;
        found = data::locateRecord(dataSet_, request, first);
    });
    if (!ran) return;
    if (found) {
        accept();
        return;
    }
    boxes_.information(first ? QStringLiteral("No matches found")
                             : QStringLiteral("No more matches found"));
}

void TwwLocateDlg::FieldNameComboBoxChange() {
    if (loading_) return;
    ui_->SearchValue->clear();
    if (!ui_->FieldNameComboBox->view()->isVisible()) ui_->SearchValue->setFocus();
}

bool TwwLocateDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->FieldNameComboBox) {
        // While the list has the focus, Enter starts no search.
        if (event->type() == QEvent::FocusIn) ui_->NextButton->setDefault(false);
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            ui_->NextButton->setDefault(true);
    } else if (watched == ui_->FieldNameComboBox->view() && isEnter(event)) {
        enterInList_ = true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace controls
