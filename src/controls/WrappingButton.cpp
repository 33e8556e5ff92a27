#include "controls/WrappingButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace controls {

WrappingButton::WrappingButton(QWidget* parent) : QPushButton(parent) {}

void WrappingButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    // The style draws the frame and focus; the caption is drawn here because the style's own
    // caption never wraps.
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic,
                         option.palette, isEnabled(), caption, QPalette::ButtonText);
}

} // namespace controls
