#pragma once
// One flat navigator button: a pictogram of its function (greyed when disabled), no text, and a
// hint text kept for the record (hints are not shown as tooltips). The six move buttons repeat
// while held down: first after 500 ms, then every 100 ms, and once more on release.
#include "controls/NavButtonStyle.h"

#include <QToolButton>

namespace controls {

class TwwNavButton : public QToolButton {
    Q_OBJECT
public:
    TwwNavButton(NavButtonStyle style, QWidget* parent = nullptr);

    NavButtonStyle style() const { return style_; }
    QString hint() const { return hint_; }

    static constexpr int repeatDelay = 500;
    static constexpr int repeatInterval = 100;

private:
    NavButtonStyle style_;
    QString hint_;
};

} // namespace controls
