#pragma once
// The main window Form1: the banner and the page control Book, assembled from the five pages.
// It owns the workspace the pages work through, and with it every component, for the life of
// the process; it turns the user's changes of page into the workspace's notices.
#include "window/Page.h"
#include "window/Prompts.h"
#include "window/Workspace.h"

#include <QWidget>

#include <exception>
#include <initializer_list>
#include <memory>

namespace Ui {
class TForm1;
}

namespace app {

class PageChangeWatcher;

class TForm1 : public QWidget {
    Q_OBJECT

public:
    // Without prompts of the caller's the window shows Qt's message boxes and file dialogs.
    explicit TForm1(std::unique_ptr<window::Prompts> prompts = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    window::Workspace& workspace() { return *workspace_; }
    // The top-level error display.
    void showException(const std::exception& error) { workspace_->showException(error); }

    // The tab page that holds a page's controls.
    QWidget& tabSheet(window::Page page);
    // Makes the tabs of these pages visible, in the order given; the tabs keep standing in
    // page order and the current page stays.
    void showPages(std::initializer_list<window::Page> pages);
    // Makes a page current on the program's behalf: no notice is raised.
    void setCurrentPage(window::Page page);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class MainWorkspace;

    void FormCreate();
    void FormActivate();
    void centreOnScreen();

    std::unique_ptr<Ui::TForm1> ui_;
    std::unique_ptr<window::Workspace> workspace_;
    // Destroyed before the widgets it watches, so no notice is raised while they go.
    std::unique_ptr<PageChangeWatcher> pageChanges_;
    bool activated_ = false;
    bool shown_ = false;
};

} // namespace app
