#pragma once
// The application object. Besides running the event loop it is the last line of defence: an
// exception escaping an event handler is shown instead of crossing the event loop.
#include <QApplication>

#include <exception>
#include <functional>

namespace app {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    // Shows an escaped exception; the main window installs its error display here.
    std::function<void(const std::exception&)> showException;

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace app
