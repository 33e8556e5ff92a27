#pragma once
// A label that reports clicks: a press and a release of the left button over it. The second
// press of a double click is no click, so a double click reports one.
#include <QLabel>

namespace controls {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace controls
