#pragma once
// One field's control in the record view: a check box, a date-time picker, a memo editor, an
// image or a single-line edit box, chosen by the field's kind. It shows the current record's
// value and hands the user's changes to the field: at once for the check box and the picker,
// when the record is written (or the control is left) for typed text.
#include <QObject>

#include <functional>

class QWidget;

namespace data {
class TField;
}

namespace controls {

class RecordFieldEditor : public QObject {
    Q_OBJECT
public:
    enum class Kind { CheckBox, DateTime, Memo, Image, Edit };
    // Asked before the user's first change of a record: may it be edited (auto edit)?
    using StartEdit = std::function<bool()>;

    RecordFieldEditor(data::TField& field, StartEdit startEdit, QWidget* parent);

    static Kind kindOf(const data::TField& field);
    Kind kind() const { return kind_; }
    data::TField& field() const { return field_; }
    QWidget& control() const { return *control_; }

    // Shows the field's value; typing not yet handed over is dropped.
    void load();
    // Hands typing not yet handed over to the field (conversion errors are raised).
    void store();
    // The user changed the control since the window opened.
    bool changed() const { return changed_; }
    // Typing the field has not received yet.
    bool pending() const { return pending_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeControl(QWidget* parent);
    void loadImage();
    void userChanged(bool handOverNow);

    data::TField& field_;
    StartEdit startEdit_;
    Kind kind_;
    QWidget* control_ = nullptr;
    bool loading_ = false;
    bool changed_ = false;
    bool pending_ = false;
};

} // namespace controls
