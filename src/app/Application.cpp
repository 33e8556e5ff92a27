#include "app/Application.h"

#include "window/ErrorBoxText.h"

#include <stdexcept>

namespace app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (showException) showException(error);
    } catch (...) {
        if (showException) showException(std::runtime_error(window::unknownErrorMessage));
    }
    return false;
}

} // namespace app
