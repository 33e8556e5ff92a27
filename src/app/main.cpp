// Start-up: the application, its title, the main window; the event loop runs until the main
// window closes.
#include "app/Application.h"
#include "app/TForm1.h"

int main(int argc, char** argv) {
    // Data access is our own engine, so there is no component library to initialise here.
    app::Application application(argc, argv);
    // The title of the taskbar button and of every information and error box.
    app::Application::setApplicationName(QStringLiteral("Tablory"));
    app::Application::setApplicationVersion(QStringLiteral(TABLORY_VERSION));
    // Ties the window to the installed desktop entry, whose icon the desktop then shows.
    app::Application::setDesktopFileName(QStringLiteral("tablory"));

    app::TForm1 Form1;
    application.showException = [&Form1](const std::exception& error) {
        Form1.showException(error);
    };
    Form1.show();
    const int exitCode = application.exec();
    application.showException = nullptr;
    return exitCode;
}
