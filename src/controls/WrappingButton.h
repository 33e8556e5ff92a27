#pragma once
// A push button whose caption wraps onto further lines when the button is too narrow for it,
// as the tall, narrow "ADD Index" button needs.
#include <QPushButton>

namespace controls {

class WrappingButton : public QPushButton {
    Q_OBJECT
public:
    explicit WrappingButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace controls
