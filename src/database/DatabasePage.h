#pragma once
// The Database page: its controls, and its three actions. Open connects the workspace's
// connection to a file and lists its tables, Create New makes a file (and its missing
// folders), Compact Database compacts a file in place. Close ends the program.
#include <QWidget>

#include <memory>

namespace Ui {
class DatabasePage;
}

namespace window {
class Workspace;
}

namespace database {

class DatabasePage : public QWidget {
    Q_OBJECT
public:
    // Placed on the window's page; the workspace's components do the work.
    DatabasePage(window::Workspace& workspace, QWidget* page);
    ~DatabasePage() override;

private:
    void btnOClick();
    void NClick();
    void Button7Click();

    // Opens the connection with the string it holds, saying so when the file needs an
    // interrupted change rolled back first.
    void openConnection();
    // Runs one action unless another is still running: the progress box lets events through,
    // and a click that slipped in must not start a second action over the first.
    void runAlone(void (DatabasePage::*action)());
    void showLogo();

    std::unique_ptr<Ui::DatabasePage> ui_;
    window::Workspace& workspace_;
    bool busy_ = false;
};

} // namespace database
