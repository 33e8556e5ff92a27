#include "controls/TwwNavButton.h"

#include "controls/NavPictograms.h"

namespace controls {

TwwNavButton::TwwNavButton(NavButtonStyle style, QWidget* parent)
    : QToolButton(parent), style_(style), hint_(QString::fromLatin1(navButtonHint(style))) {
    setAutoRaise(true);
    setIcon(navButtonIcon(style));
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The buttons never take the focus: a click leaves it on the grid, so it does not count
    // as leaving the grid.
    setFocusPolicy(Qt::NoFocus);
    if (navButtonRepeats(style)) {
        setAutoRepeat(true);
        setAutoRepeatDelay(repeatDelay);
        setAutoRepeatInterval(repeatInterval);
    }
    setEnabled(false);
}

} // namespace controls
