#pragma once
// What the pages of the main window work through: the one connection, the command the pages
// execute statements with, the catalog that makes new files, the prompts and the shared file
// dialogs, the two name lists, the top-level error display, and the window's notices about
// its pages. The window owns all of it for the life of the process.
#include "data/TADOCommand.h"
#include "data/TADOConnection.h"
#include "data/TADOXCatalog.h"
#include "window/CommandExecutor.h"
#include "window/FileDialogs.h"
#include "window/NameList.h"
#include "window/Page.h"
#include "window/Prompts.h"

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace window {

class Workspace : public QObject {
    Q_OBJECT
public:
    explicit Workspace(std::unique_ptr<Prompts> prompts);
    ~Workspace() override;

    data::TADOConnection& connection() { return ADOConnection1; }
    // ADOCommand1 bound to ADOConnection1, unless a test put another command in its place.
    CommandExecutor& command() { return *command_; }
    void setCommand(std::unique_ptr<CommandExecutor> command) { command_ = std::move(command); }
    data::TADOXCatalog& catalog() { return ADOXCatalog1; }
    Prompts& prompts() { return *prompts_; }
    TOpenDialog& openDialog() { return OpenDialog1; }
    TSaveDialog& saveDialog() { return SaveDialog1; }
    NameList& columnList() { return ColumnList; }
    NameList& tableList() { return TableList; }
    // The text of the Table Creator's table-name box, which Save Query proposes as its file
    // name; the Table Creator keeps it up to date.
    const QString& tableNameText() const { return tableNameText_; }
    void setTableNameText(QString text) { tableNameText_ = std::move(text); }

    // Runs a handler to its end; an error escaping it is shown by the error box and the window
    // carries on. Every signal a page connects reaches its handler through here, the
    // workspace's own signals included.
    void runHandler(const std::function<void()>& handler);
    template <typename Handler> auto guarded(Handler handler) {
        return [this, handler = std::move(handler)] { runHandler(handler); };
    }
    // The top-level error display: the error's text with its closing full stop.
    void showException(const std::exception& error);

    // The main window, owner of the modal boxes the pages show over it.
    virtual QWidget& window() = 0;
    // Makes the tabs of these pages visible, in the order given; the tabs keep standing in page
    // order, the current page stays and no page-change notice is raised.
    virtual void showPages(std::initializer_list<Page> pages) = 0;

signals:
    // The user made another page current; it already is.
    void pageChanged(window::Page current);
    // The focus moved from a control of the page to a control of the window outside it; for a
    // change of page by the user this comes before pageChanged.
    void pageExited(window::Page page);
    // Open listed the tables of the file it connected to, for the browser's table selector.
    void tablesListed(const std::vector<std::string>& names);
    // A column title of the Query Builder's grid was clicked: the browser sorts its own query
    // by that field name.
    void browserSortRequested(const QString& fieldName);

private:
    std::unique_ptr<Prompts> prompts_;
    data::TADOConnection ADOConnection1{"ADOConnection1"};
    data::TADOCommand ADOCommand1{"ADOCommand1"};
    data::TADOXCatalog ADOXCatalog1;
    std::unique_ptr<CommandExecutor> command_;
    TOpenDialog OpenDialog1{*prompts_};
    TSaveDialog SaveDialog1{*prompts_};
    NameList ColumnList;
    NameList TableList;
    QString tableNameText_;
};

} // namespace window
