#pragma once
// The Execute SQL page: any SQL text the user types, run once per press on the open database.
// Its form names the same fallback font as the Table Creator's.
#include <QWidget>

#include <memory>

namespace Ui {
class SqlConsolePage;
}

namespace window {
class Workspace;
}

namespace query {

class SqlConsolePage : public QWidget {
    Q_OBJECT
public:
    // Placed on the window's page; the workspace's command runs the text.
    SqlConsolePage(window::Workspace& workspace, QWidget* page);
    ~SqlConsolePage() override;

private:
    void Button6Click();

    std::unique_ptr<Ui::SqlConsolePage> ui_;
    window::Workspace& workspace_;
};

} // namespace query
