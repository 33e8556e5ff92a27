#include "controls/FilterDateEdit.h"

#include "core/Conversions.h"

#include <QAction>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>

namespace controls {

FilterDateEdit::FilterDateEdit(QWidget* parent) : QLineEdit(parent) {
    QAction* calendar =
        addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    calendar->setToolTip(QStringLiteral("Pick a date"));
    connect(calendar, &QAction::triggered, this, [this] { showCalendar(); });
}

std::optional<core::DateTime> FilterDateEdit::date() const {
    const std::string typed = text().trimmed().toStdString();
    if (typed.empty()) return std::nullopt;
    return data::parseDateTime(typed, formats_);
}

void FilterDateEdit::setDate(core::DateTime date) {
    // Jet counts days before 1899-12-30 down, with the time of day still added forward.
    const std::optional<core::DateTime> old = this->date();
    const double time = old ? std::fabs(old->days - std::trunc(old->days)) : 0;
    const double day = std::trunc(date.days);
    setText(QString::fromStdString(
        data::formatDateTime(core::DateTime{day < 0 ? day - time : day + time}, formats_)));
}

void FilterDateEdit::keyPressEvent(QKeyEvent* event) {
    const bool step = (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
                      !(event->modifiers() & Qt::AltModifier);
    if (step) {
        if (const auto held = date()) {
            setDate(core::DateTime{held->days + (event->key() == Qt::Key_Up ? 1 : -1)});
            emit datePicked();
            return;
        }
    }
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FilterDateEdit::showCalendar() {
    auto* popup = new QWidget(this, Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    auto* calendar = new QCalendarWidget(popup);
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(calendar);
    if (const auto held = date()) {
        const core::CivilDateTime civil = core::toCivil(*held);
        calendar->setSelectedDate(QDate(civil.year, civil.month, civil.day));
    }
    connect(calendar, &QCalendarWidget::clicked, this, [this, popup](QDate picked) {
        core::CivilDateTime civil;
        civil.year = picked.year();
        civil.month = picked.month();
        civil.day = picked.day();
        setDate(core::fromCivil(civil));
        emit datePicked();
        popup->close();
        setFocus();
    });
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
}

} // namespace controls
