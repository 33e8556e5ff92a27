#pragma once
// The Table Creator page: the column form that appends column definitions to the schema text,
// the schema and index boxes the user executes on the open database, and schema files. Its
// form names a narrower font after the window's, for systems without MS Sans Serif, so that
// the captions fit the buttons and check boxes the window has always had.
#include <QWidget>

#include <memory>

namespace Ui {
class TableCreatorPage;
}

namespace window {
class Workspace;
}

namespace creator {

class TableCreatorPage : public QWidget {
    Q_OBJECT
public:
    // Placed on the window's page; the workspace's name lists, dialogs and command do the work.
    TableCreatorPage(window::Workspace& workspace, QWidget* page);
    ~TableCreatorPage() override;

private:
    void btnFieldAddClick();
    void btnCreateClick();
    void schema_headerClick();
    void btnExecuteSQLClick();
    void btnIndexClick();
    void btnSQLexpClick();
    void btnSQLimpClick();

    // "Add to Schema" and "Last Column": one column definition ended by the terminator.
    void appendColumn(QChar terminator);

    std::unique_ptr<Ui::TableCreatorPage> ui_;
    window::Workspace& workspace_;
};

} // namespace creator
