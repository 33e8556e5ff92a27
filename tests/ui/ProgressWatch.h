#pragma once
// Watches for the Database page's progress box while an action runs. The box lets the event
// loop run while the work goes on; a zero-interval timer then fires on every pass, which is
// where the watch looks at the box and at what the window would let the user do.
#include "controls/ProgressDialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStringList>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <vector>

namespace test {

class ProgressWatch {
public:
    // Run once, the first time the box is seen.
    std::function<void(controls::ProgressDialog&)> whileShown;
    // Run on every pass with the box up.
    std::function<void()> onEveryPass;

    int passes = 0;
    std::vector<int> positions;
    QStringList texts;
    bool alwaysModal = true;

    ProgressWatch() {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
        timer_.start();
    }

private:
    void look() {
        auto* box = qobject_cast<controls::ProgressDialog*>(QApplication::activeModalWidget());
        if (!box) return;
        ++passes;
        positions.push_back(box->position());
        if (texts.isEmpty() || texts.back() != box->text()) texts << box->text();
        alwaysModal = alwaysModal && box->isVisible() &&
                      box->windowModality() == Qt::ApplicationModal &&
                      QGuiApplication::modalWindow() == box->windowHandle();
        if (onEveryPass) onEveryPass();
        if (whileShown) {
            auto once = std::move(whileShown);
            whileShown = nullptr;
            once(*box);
        }
    }

    QTimer timer_;
};

} // namespace test
