#pragma once
// The Table Browser & Editor page: the table selector dbtabs, the mode label Label5, the grid
// wwDBGrid1 and the navigator nav, over the browser's query ADOQuery1 through DataSource1.
// Picking a table opens it, a title click sorts it, and the label switches between View and
// Edit; the window's page changes put the page back into View mode.
#include "controls/ControlErrors.h"
#include "data/TADOQuery.h"
#include "data/TDataSource.h"

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;

namespace Ui {
class BrowserPage;
}

namespace data {
class TADOConnection;
}

namespace controls {
class ComboCompletion;
class Confirmations;
} // namespace controls

namespace window {
class Workspace;
}

namespace browser {

class BrowserPage : public QWidget {
    Q_OBJECT
public:
    // What the page works through: the window's connection, its confirmation boxes and its
    // top-level error display.
    struct Services {
        data::TADOConnection& connection;
        controls::Confirmations& confirmations;
        controls::ErrorDisplay showError;
    };

    BrowserPage(Services services, QWidget* parent = nullptr);
    // On the window's page: Open's table list fills dbtabs, and leaving this page or the Table
    // Creator and changing page run their resets.
    BrowserPage(window::Workspace& workspace, QWidget* page);
    ~BrowserPage() override;

    Ui::BrowserPage& ui() { return *ui_; }
    // dbtabs, which Open fills.
    QComboBox& tableSelector();

    data::TADOQuery ADOQuery1{"ADOQuery1"};
    data::TDataSource DataSource1{"DataSource1"};

    // The handlers, each run to its end or to its first error.
    void dbtabsChange();
    // Also the Query Builder grid's title-button handler: it sorts the browser's query.
    void wwDBGrid1TitleButtonClick(const QString& fieldName);
    void TabSheet2Exit();
    void Label5Click();
    // The four ways back to View mode and the way to Edit mode.
    void fullViewReset();
    void creatorExitViewReset();
    void pageChangeViewReset();
    void editSwitch();

private:
    // Each handler a signal reaches runs through here: errors go to the error display.
    void guarded(const std::function<void()>& handler);
    // Steps 1 to 6 shared by the View resets.
    void viewSteps();
    void disableDataSource();
    void setLabelColour(const QColor& colour);
    void showEditButtons(bool shown);
    std::string tableName() const;

    std::unique_ptr<Ui::BrowserPage> ui_;
    Services services_;
    controls::ComboCompletion* selector_;
};

} // namespace browser
