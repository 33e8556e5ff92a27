#include "controls/RecordFieldEditor.h"

#include "controls/MemoText.h"
#include "core/Conversions.h"
#include "data/TField.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>

#include <algorithm>

namespace controls {
namespace {

// The picker shows Null as its minimum with a blank text.
const QDateTime nullDateTime(QDate(100, 1, 1), QTime(0, 0));

QDateTime toQt(const core::Value& value) {
    const auto* stamp = value.getIf<core::DateTime>();
    if (!stamp) return nullDateTime;
    const core::CivilDateTime c = core::toCivil(*stamp);
    return QDateTime(QDate(c.year, c.month, c.day),
                     QTime(c.hour, c.minute, c.second, c.millisecond));
}

core::Value fromQt(const QDateTime& value) {
    if (value <= nullDateTime) return {};
    core::CivilDateTime c;
    c.year = value.date().year();
    c.month = value.date().month();
    c.day = value.date().day();
    c.hour = value.time().hour();
    c.minute = value.time().minute();
    c.second = value.time().second();
    c.millisecond = value.time().msec();
    return core::Value(core::fromCivil(c));
}

} // namespace

RecordFieldEditor::RecordFieldEditor(data::TField& field, StartEdit startEdit, QWidget* parent)
    : QObject(parent), field_(field), startEdit_(std::move(startEdit)), kind_(kindOf(field)) {
    control_ = makeControl(parent);
    control_->setObjectName(QString::fromStdString(field.fieldName()));
    control_->installEventFilter(this);
    load();
}

RecordFieldEditor::Kind RecordFieldEditor::kindOf(const data::TField& field) {
    switch (field.dataType()) {
    case data::FieldType::Boolean:
        return Kind::CheckBox;
    case data::FieldType::DateTime:
        return Kind::DateTime;
    case data::FieldType::WideMemo:
        return Kind::Memo;
    case data::FieldType::Blob:
        // OLE objects hold pictures, shown when they are in a format the toolkit reads.
        return Kind::Image;
    default:
        return Kind::Edit;
    }
}

QWidget* RecordFieldEditor::makeControl(QWidget* parent) {
    switch (kind_) {
    case Kind::CheckBox: {
        auto* box = new QCheckBox(parent);
        connect(box, &QCheckBox::clicked, this, [this] { userChanged(true); });
        return box;
    }
    case Kind::DateTime: {
        auto* picker = new QDateTimeEdit(parent);
        picker->setMinimumDateTime(nullDateTime);
        picker->setSpecialValueText(QStringLiteral(" "));
        picker->setCalendarPopup(true);
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, [this] {
            if (!loading_) userChanged(true);
        });
        return picker;
    }
    case Kind::Memo: {
        auto* memo = new QPlainTextEdit(parent);
        memo->setTabChangesFocus(true);
        connect(memo, &QPlainTextEdit::textChanged, this, [this] {
            if (!loading_) userChanged(false);
        });
        return memo;
    }
    case Kind::Image: {
        auto* image = new QLabel(parent);
        image->setFrameShape(QFrame::StyledPanel);
        image->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return image;
    }
    case Kind::Edit:
        break;
    }
    auto* edit = new QLineEdit(parent);
    if (field_.dataType() == data::FieldType::WideString && field_.size() > 0)
        edit->setMaxLength(static_cast<int>(field_.size()));
    connect(edit, &QLineEdit::textEdited, this, [this] { userChanged(false); });
    return edit;
}

void RecordFieldEditor::load() {
    loading_ = true;
    pending_ = false;
    switch (kind_) {
    case Kind::CheckBox: {
        const core::Value value = field_.value();
        const auto* on = value.getIf<bool>();
        static_cast<QCheckBox*>(control_)->setChecked(on && *on);
        break;
    }
    case Kind::DateTime:
        static_cast<QDateTimeEdit*>(control_)->setDateTime(toQt(field_.value()));
        break;
    case Kind::Memo:
        setMemoText(*static_cast<QPlainTextEdit*>(control_),
                    QString::fromStdString(field_.asString()));
        break;
    case Kind::Image:
        loadImage();
        break;
    case Kind::Edit:
        static_cast<QLineEdit*>(control_)->setText(QString::fromStdString(field_.asString()));
        static_cast<QLineEdit*>(control_)->setCursorPosition(0);
        break;
    }
    loading_ = false;
}

void RecordFieldEditor::loadImage() {
    auto* image = static_cast<QLabel*>(control_);
    const core::Value value = field_.value();
    const auto* bytes = value.getIf<core::Bytes>();
    QPixmap picture;
    if (bytes && picture.loadFromData(bytes->data(), static_cast<uint>(bytes->size()))) {
        image->setPixmap(
            picture.scaledToHeight(std::max(image->height() - 4, 1), Qt::SmoothTransformation));
        return;
    }
    image->setText(bytes ? QStringLiteral("(BLOB)") : QString());
}

void RecordFieldEditor::store() {
    if (!pending_) return;
    switch (kind_) {
    case Kind::CheckBox:
        field_.setValue(core::Value(static_cast<QCheckBox*>(control_)->isChecked()));
        break;
    case Kind::DateTime:
        field_.setValue(fromQt(static_cast<QDateTimeEdit*>(control_)->dateTime()));
        break;
    case Kind::Memo:
        field_.setAsString(memoText(*static_cast<QPlainTextEdit*>(control_)).toStdString());
        break;
    case Kind::Image:
        break;
    case Kind::Edit:
        field_.setAsString(static_cast<QLineEdit*>(control_)->text().toStdString());
        break;
    }
    pending_ = false;
}

void RecordFieldEditor::userChanged(bool handOverNow) {
    if (!startEdit_()) {
        // The record may not be edited: the control shows the field again.
        load();
        return;
    }
    changed_ = true;
    pending_ = true;
    if (handOverNow) store();
}

bool RecordFieldEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == control_ && event->type() == QEvent::KeyPress && pending_ &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // Escape first takes back the typing the field has not received.
        load();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace controls
