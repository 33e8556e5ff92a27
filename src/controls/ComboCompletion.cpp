#include "controls/ComboCompletion.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace controls {

ComboCompletion::ComboCompletion(QComboBox& combo) : QObject(&combo), combo_(combo) {
    // The completion is ours, so that it happens before the change is reported, once.
    combo_.setCompleter(nullptr);
    combo_.setInsertPolicy(QComboBox::NoInsert);
    connect(combo_.lineEdit(), &QLineEdit::textEdited, this, &ComboCompletion::edited);
    combo_.lineEdit()->installEventFilter(this);
    // The field's focus arrives at the combo box, which hands it on past any filter.
    combo_.installEventFilter(this);
    connect(&combo_, &QComboBox::activated, this, [this] {
        if (!losingFocus_) emit userChanged();
    });
}

bool ComboCompletion::eventFilter(QObject* watched, QEvent* event) {
    // Enter is no change of the text: it neither picks an entry nor opens a table.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
        deleting_ = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    }
    // The combo box picks the entry matching the typed text when its field loses the focus;
    // that is no change made by the user. (Opening the list is no loss of focus.)
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        losingFocus_ = true;
        QTimer::singleShot(0, this, [this] { losingFocus_ = false; });
    }
    return QObject::eventFilter(watched, event);
}

void ComboCompletion::edited(const QString& text) {
    QLineEdit& line = *combo_.lineEdit();
    // Typing at the end completes; deleting does not (the user is taking characters away).
    const bool typedAtEnd = !deleting_ && line.cursorPosition() == text.size();
    deleting_ = false;
    if (typedAtEnd && !text.isEmpty()) {
        for (int i = 0; i < combo_.count(); ++i) {
            const QString entry = combo_.itemText(i);
            if (!entry.startsWith(text, Qt::CaseInsensitive)) continue;
            line.setText(entry);
            line.setSelection(static_cast<int>(entry.size()),
                              -static_cast<int>(entry.size() - text.size()));
            break;
        }
    }
    emit userChanged();
}

} // namespace controls
