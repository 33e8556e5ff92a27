#pragma once
// The main window Form1: the banner, the page control Book and its five pages. It owns every
// component for the life of the process and runs each user action as one guarded handler.
#include "app/CommandExecutor.h"
#include "app/FileDialogs.h"
#include "app/NameList.h"
#include "app/Prompts.h"
#include "data/TADOCommand.h"
#include "data/TADOConnection.h"
#include "data/TADOXCatalog.h"

#include <QWidget>

#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>

namespace Ui {
class TForm1;
}

namespace browser {
class BrowserPage;
}

class QComboBox;

namespace app {

class PageChangeWatcher;

// What the pages do when the user leaves a page or changes page; the browser page fills them in.
struct PageHandlers {
    std::function<void()> tabSheet1Exit;
    std::function<void()> tabSheet2Exit;
    std::function<void()> bookChange;
};

class TForm1 : public QWidget {
    Q_OBJECT

    // First, because the components below are built on them.
    std::unique_ptr<Ui::TForm1> ui_;
    std::unique_ptr<Prompts> prompts_;

public:
    // Without prompts of the caller's the window shows Qt's message boxes and file dialogs.
    explicit TForm1(std::unique_ptr<Prompts> prompts = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    Ui::TForm1& ui() { return *ui_; }
    Prompts& prompts() { return *prompts_; }
    // ADOCommand1 on ADOConnection1, through which the pages execute statements.
    CommandExecutor& command() { return *command_; }
    void setCommand(std::unique_ptr<CommandExecutor> command) { command_ = std::move(command); }

    // Runs a handler to its end; an error escaping it is shown by the error box and the window
    // carries on. Every signal of the window reaches its handler through here.
    void runHandler(const std::function<void()>& handler);
    template <typename Handler> auto guarded(Handler handler) {
        return [this, handler = std::move(handler)] { runHandler(handler); };
    }
    // The top-level error display.
    void showException(const std::exception& error);

    // Makes the tabs of these pages (indexes in page order) visible, in the order given; the
    // tabs keep standing in page order and the current page stays.
    void showTabs(std::initializer_list<int> pages);
    // Makes a page current on the program's behalf: no page handler runs.
    void setCurrentPage(QWidget* page);
    // The browser page's table selector, which Open fills.
    QComboBox& dbtabs();

    NameList ColumnList;
    NameList TableList;
    TOpenDialog OpenDialog1{*prompts_};
    TSaveDialog SaveDialog1{*prompts_};
    PageHandlers pageHandlers;
    // The data components: the one connection every page works through, the command the
    // pages execute statements with, and the catalog that makes new files.
    data::TADOConnection ADOConnection1{"ADOConnection1"};
    data::TADOCommand ADOCommand1{"ADOCommand1"};
    data::TADOXCatalog ADOXCatalog1;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormActivate();
    void BookChange();
    void TabSheet1Exit();
    void TabSheet2Exit();
    void showLogo();
    void centreOnScreen();

    // Destroyed before the widgets it watches, so no page handler runs while they go.
    std::unique_ptr<PageChangeWatcher> pageChanges_;
    browser::BrowserPage* browserPage_ = nullptr;
    std::unique_ptr<CommandExecutor> command_ = std::make_unique<DisconnectedCommand>();
    bool activated_ = false;
    bool shown_ = false;
};

} // namespace app
