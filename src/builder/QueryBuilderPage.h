#pragma once
// The Query Builder page: picks of a table and a column write bracketed entries into the
// SELECT and FROM boxes, a WHERE condition is typed by hand, and Run Query shows the joined
// statement's result in the read-only grid wwDBGrid2 and the navigator wwDBNavigator1, over
// ADODataSet1 through DataSource2. Save Query and Load Query keep the boxes in query files.
#include "data/TADODataSet.h"
#include "data/TDataSource.h"

#include <QWidget>

#include <memory>

namespace Ui {
class QueryBuilderPage;
}

namespace window {
class Workspace;
}

namespace builder {

class QueryBuilderPage : public QWidget {
    Q_OBJECT
public:
    // Placed on the window's page; picks are recorded in the workspace's name lists, and a
    // title click on the grid asks the browser to sort its own query.
    QueryBuilderPage(window::Workspace& workspace, QWidget* page);
    ~QueryBuilderPage() override;

    Ui::QueryBuilderPage& ui() { return *ui_; }

    data::TADODataSet ADODataSet1{"ADODataSet1"};
    data::TDataSource DataSource2{"DataSource2"};

    // The handlers, each run to its end or to its first error.
    void tsQBShow();
    void ComboBox1Change();
    void Button1Click();
    void Button5Click();
    void Button3Click();
    void Button4Click();
    void Button2Click();

    // The statement Run Query runs and Save Query records, from the boxes as they stand.
    QString queryStatement() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::QueryBuilderPage> ui_;
    window::Workspace& workspace_;
};

} // namespace builder
