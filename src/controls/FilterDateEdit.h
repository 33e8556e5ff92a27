#pragma once
// The filter window's date picker: the date (and time) as text in the locale's short formats,
// typed or picked from a calendar; it may be left empty. Up and Down step a date it holds by
// one day.
// moc stops at the standard library's <compare>, which it need not read.
#ifndef Q_MOC_RUN
#include "data/LocaleFormats.h"
#endif

#include <QLineEdit>

#include <optional>

namespace controls {

class FilterDateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit FilterDateEdit(QWidget* parent = nullptr);

    void setFormats(data::LocaleFormats formats) { formats_ = std::move(formats); }
    // The date the text reads as; nullopt when it is empty or no date.
    std::optional<core::DateTime> date() const;
    // Writes the date as the locale does, keeping the time of day of the text it replaces.
    void setDate(core::DateTime date);

signals:
    // A date picked from the calendar or stepped by a key, as textEdited is for typing.
    void datePicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showCalendar();

    data::LocaleFormats formats_;
};

} // namespace controls
