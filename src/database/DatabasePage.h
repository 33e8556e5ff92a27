#pragma once
// The Database page's three actions: Open connects the window's connection to a file and
// lists its tables, Create New makes a file (and its missing folders), Compact Database
// compacts a file in place. The page's controls live on the window's form.
#include <QObject>

namespace app {
class TForm1;
}

namespace database {

class DatabasePage : public QObject {
    Q_OBJECT
public:
    // Connects the page's buttons; the window's components do the work.
    explicit DatabasePage(app::TForm1& form);

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

    app::TForm1& form_;
    bool busy_ = false;
};

} // namespace database
