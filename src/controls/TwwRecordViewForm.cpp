#include "controls/TwwRecordViewForm.h"

#include "controls/DialogBoxes.h"
#include "controls/FieldLabel.h"
#include "controls/RecordFieldEditor.h"
#include "controls/TwwDBNavigator.h"
#include "controls/TwwNavButton.h"
#include "data/TCustomADODataSet.h"
#include "data/TDataSource.h"
#include "ui_TwwRecordViewForm.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace controls {
namespace {

constexpr int margin = 5;        // around the rows
constexpr int labelGap = 5;      // between a label and its control
constexpr int rowSpacing = 2;    // between rows
constexpr int navigatorLeft = 8; // in the top panel

// The record view's navigator: the fourteen buttons from first record to restore bookmark.
bool shownInRecordView(NavButtonStyle style) {
    return static_cast<int>(style) <= static_cast<int>(NavButtonStyle::RestoreBookmark);
}

bool isEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

} // namespace

TwwRecordViewForm::TwwRecordViewForm(data::TDataSource& source, DialogBoxes& boxes,
                                     ErrorDisplay errors, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TwwRecordViewForm>()), boxes_(boxes),
      errors_(std::move(errors)) {
    ui_->setupUi(this);
    ui_->ScrollBox->setWidget(ui_->Rows);
    // The rows follow the visible width (the memo editors take all of it).
    ui_->ScrollBox->viewport()->installEventFilter(this);
    navigator_ = new TwwDBNavigator(ui_->TopPanel);
    navigator_->setObjectName(QStringLiteral("RecordViewNavigator"));
    for (NavButtonStyle style : allNavButtonStyles()) {
        TwwNavButton& button = navigator_->button(style);
        button.setVisible(shownInRecordView(style));
        button.setToolTip(button.hint());
    }
    navigator_->setErrorDisplay(errors_);
    navigator_->setDataSource(&source);
    TDataLink::setDataSource(&source);
    connect(ui_->OKButton, &QPushButton::clicked, this, &TwwRecordViewForm::OKBtnClick);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &TwwRecordViewForm::reject);
    buildRows();
    sizeWindow();
}

TwwRecordViewForm::~TwwRecordViewForm() {
    navigator_->setDataSource(nullptr);
    TDataLink::setDataSource(nullptr);
}

QPushButton& TwwRecordViewForm::okButton() const {
    return *ui_->OKButton;
}
QPushButton& TwwRecordViewForm::cancelButton() const {
    return *ui_->CancelButton;
}
QScrollArea& TwwRecordViewForm::scrollBox() const {
    return *ui_->ScrollBox;
}

RecordFieldEditor* TwwRecordViewForm::editor(const QString& fieldName) const {
    for (RecordFieldEditor* editor : editors_)
        if (QString::fromStdString(editor->field().fieldName()) == fieldName) return editor;
    return nullptr;
}

QLabel* TwwRecordViewForm::label(const QString& fieldName) const {
    for (std::size_t i = 0; i < editors_.size(); ++i)
        if (QString::fromStdString(editors_[i]->field().fieldName()) == fieldName)
            return labels_[i];
    return nullptr;
}

void TwwRecordViewForm::buildRows() {
    data::TCustomADODataSet& ds = *dataSet();
    const QFontMetrics metrics(font());
    // Read-only and calculated fields are painted in the inactive caption text's colour.
    QPalette readOnly = palette();
    readOnly.setColor(QPalette::Base, palette().color(QPalette::Inactive, QPalette::Mid));
    for (std::size_t i = 0; i < ds.fieldCount(); ++i) {
        data::TField& field = ds.field(i);
        auto* editor = new RecordFieldEditor(
            field, [this] { return startEdit(); }, ui_->Rows);
        auto* label = new QLabel(fieldLabel(field), ui_->Rows);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->installEventFilter(this);
        editor->control().installEventFilter(this);
        if (field.readOnly()) {
            editor->control().setPalette(readOnly);
            editor->control().setAutoFillBackground(true);
            editor->control().setFocusPolicy(Qt::NoFocus);
            editor->control().setEnabled(false);
        }
        labelWidth_ = std::max(labelWidth_, metrics.horizontalAdvance(label->text()));
        editors_.push_back(editor);
        labels_.push_back(label);
    }
}

void TwwRecordViewForm::layoutRows() {
    const QFontMetrics metrics(font());
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    const int left = margin + labelWidth_ + labelGap;
    const int available = std::max(ui_->ScrollBox->viewport()->width() - left - margin, 17);
    const int pickerButton = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    int y = margin;
    int widest = 0;
    for (std::size_t i = 0; i < editors_.size(); ++i) {
        QWidget& control = editors_[i]->control();
        const int editWidth = digit * (editors_[i]->field().displayWidth() + 1) + 3;
        int width = editWidth;
        int height = control.sizeHint().height();
        switch (editors_[i]->kind()) {
        case RecordFieldEditor::Kind::CheckBox:
            width = 17;
            break;
        case RecordFieldEditor::Kind::DateTime:
            width = editWidth + pickerButton;
            break;
        case RecordFieldEditor::Kind::Memo:
        case RecordFieldEditor::Kind::Image:
            width = available;
            height = metrics.height() * 2 + 8;
            break;
        case RecordFieldEditor::Kind::Edit:
            break;
        }
        width = std::min(width, available);
        const int rowHeight = std::max(height, labels_[i]->sizeHint().height());
        labels_[i]->setGeometry(margin, y, labelWidth_, rowHeight);
        control.setGeometry(left, y + (rowHeight - height) / 2, width, height);
        // A picture is scaled to the height it was given.
        if (editors_[i]->kind() == RecordFieldEditor::Kind::Image && !fieldsGone_)
            editors_[i]->load();
        widest = std::max(widest, width);
        y += rowHeight + rowSpacing;
        if (i == 0) ui_->ScrollBox->verticalScrollBar()->setSingleStep(rowHeight + rowSpacing);
    }
    ui_->Rows->resize(left + widest + margin, y - rowSpacing + margin);
}

void TwwRecordViewForm::sizeWindow() {
    const QFontMetrics metrics(font());
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    const int pickerButton = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    int widest = 0;
    int rows = margin * 2;
    for (std::size_t i = 0; i < editors_.size(); ++i) {
        const RecordFieldEditor& editor = *editors_[i];
        const int editWidth = digit * (editor.field().displayWidth() + 1) + 3;
        int height = editor.control().sizeHint().height();
        switch (editor.kind()) {
        case RecordFieldEditor::Kind::CheckBox:
            widest = std::max(widest, 17);
            break;
        case RecordFieldEditor::Kind::DateTime:
            widest = std::max(widest, editWidth + pickerButton);
            break;
        case RecordFieldEditor::Kind::Memo:
        case RecordFieldEditor::Kind::Image:
            height = metrics.height() * 2 + 8;
            break;
        case RecordFieldEditor::Kind::Edit:
            widest = std::max(widest, editWidth);
            break;
        }
        rows += std::max(height, labels_[i]->sizeHint().height()) + (i ? rowSpacing : 0);
    }
    const int panelEdges = 2 * (ui_->RecordPanel->frameWidth() + 4);
    const int navigatorWidth = 14 * 24;
    int width = std::max(panelEdges + margin + labelWidth_ + labelGap + widest + margin + 14,
                         navigatorLeft + navigatorWidth + margin + 14);
    int height = ui_->TopPanel->height() + panelEdges + rows + ui_->UserPanel->height() + 21;
    const QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    if (height > area.height() - 12) {
        height = area.height() - 12;
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }
    width = std::min(width, area.width());
    resize(width, height);
    move(area.center() - rect().center());
}

void TwwRecordViewForm::placeButtons() {
    QPushButton& ok = *ui_->OKButton;
    QPushButton& cancel = *ui_->CancelButton;
    const int buttonWidth = ok.width();
    const int okLeft = width() - 2 * buttonWidth - 36;
    if (okLeft >= margin) {
        ok.move(okLeft, ok.y());
        cancel.move(width() - buttonWidth - 23, cancel.y());
    } else {
        ok.move(margin, ok.y());
        cancel.move(margin + buttonWidth + 5, cancel.y());
    }
}

void TwwRecordViewForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    navigator_->setGeometry(navigatorLeft, 1, ui_->TopPanel->width() - 10, 25);
    placeButtons();
}

void TwwRecordViewForm::fieldsGone() {
    fieldsGone_ = true;
    QDialog::reject();
}

void TwwRecordViewForm::loadAll() {
    if (fieldsGone_) return;
    for (RecordFieldEditor* editor : editors_) editor->load();
}

void TwwRecordViewForm::storeAll() {
    if (fieldsGone_) return;
    for (RecordFieldEditor* editor : editors_) editor->store();
}

void TwwRecordViewForm::recordChanged(const data::TField* field) {
    if (fieldsGone_) return;
    for (RecordFieldEditor* editor : editors_)
        if ((!field || &editor->field() == field) && !editor->pending()) editor->load();
}

bool TwwRecordViewForm::anyChanged() const {
    return !fieldsGone_ &&
           std::any_of(editors_.begin(), editors_.end(),
                       [](const RecordFieldEditor* editor) { return editor->changed(); });
}

bool TwwRecordViewForm::startEdit() {
    if (editing()) return true;
    bool editable = false;
    // The data set tells every control the record is being edited; the control being typed
    // into keeps what the user typed.
    startingEdit_ = true;
    runGuarded(errors_, [&] { editable = TDataLink::edit(); });
    startingEdit_ = false;
    return editable;
}

void TwwRecordViewForm::OKBtnClick() {
    const bool posted = runGuarded(errors_, [&] {
        storeAll();
        if (data::TCustomADODataSet* ds = dataSet(); ds && ds->active()) ds->checkBrowseMode();
    });
    if (posted) accept();
}

void TwwRecordViewForm::reject() {
    data::TCustomADODataSet* ds = dataSet();
    const bool browsing = !ds || !ds->active() || ds->state() == data::DataSetState::Browse;
    if (!anyChanged() && browsing) {
        QDialog::reject();
        return;
    }
    switch (boxes_.yesNoCancel(
        QStringLiteral("Changes have been made!  Do you wish to save your changes?"))) {
    case SaveAnswer::Yes:
        OKBtnClick();
        break;
    case SaveAnswer::No:
        runGuarded(errors_, [&] {
            if (ds && ds->active()) ds->cancel();
        });
        QDialog::reject();
        break;
    case SaveAnswer::Cancel:
        break;
    }
}

bool TwwRecordViewForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->ScrollBox->viewport() && event->type() == QEvent::Resize) layoutRows();
    if (event->type() == QEvent::KeyPress) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        // Ctrl+Enter closes with OK, also inside a control that takes returns.
        if (isEnter(key) && key.modifiers().testFlag(Qt::ControlModifier)) {
            OKBtnClick();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        // A label activates its control.
        const auto found = std::find(labels_.begin(), labels_.end(), watched);
        if (found != labels_.end()) {
            QWidget& control =
                editors_[static_cast<std::size_t>(found - labels_.begin())]->control();
            if (control.isEnabled()) control.setFocus(Qt::MouseFocusReason);
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace controls
