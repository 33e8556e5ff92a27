#pragma once
// The Table Browser & Editor page: the table selector dbtabs, which Open fills with the tables
// of the file it connected to.
#include <QWidget>

#include <memory>

namespace Ui {
class TableBrowserPage;
}

namespace window {
class Workspace;
}

namespace browser {

class TableBrowserPage : public QWidget {
    Q_OBJECT
public:
    // Placed on the window's page; lists the tables the workspace's Open reports.
    TableBrowserPage(window::Workspace& workspace, QWidget* page);
    ~TableBrowserPage() override;

private:
    std::unique_ptr<Ui::TableBrowserPage> ui_;
    window::Workspace& workspace_;
};

} // namespace browser
