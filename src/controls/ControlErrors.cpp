#include "controls/ControlErrors.h"

#include <QApplication>
#include <QMessageBox>

#include <stdexcept>

namespace controls {
namespace {

void showFallback(const std::exception& error) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                          QString::fromStdString(error.what()));
}

} // namespace

bool runGuarded(const ErrorDisplay& display, const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        display ? display(error) : showFallback(error);
    } catch (...) {
        const std::runtime_error unknown("Unknown error");
        display ? display(unknown) : showFallback(unknown);
    }
    return false;
}

} // namespace controls
