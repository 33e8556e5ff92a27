#include "controls/ClickLabel.h"

#include <QMouseEvent>

namespace controls {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // Not passed on: QWidget would treat it as one more press.
    pressed_ = false;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

} // namespace controls
