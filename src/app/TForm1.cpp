#include "app/TForm1.h"

#include "app/PageChangeWatcher.h"
#include "app/QtPrompts.h"
#include "browser/BrowserPage.h"
#include "builder/QueryBuilderPage.h"
#include "creator/TableCreatorPage.h"
#include "database/DatabasePage.h"
#include "query/SqlConsolePage.h"
#include "ui_TForm1.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace app {

// The workspace as the window provides it: the page visibility is the window's.
class TForm1::MainWorkspace final : public window::Workspace {
public:
    MainWorkspace(TForm1& form, std::unique_ptr<window::Prompts> prompts)
        : Workspace(std::move(prompts)), form_(form) {}

    QWidget& window() override { return form_; }
    void showPages(std::initializer_list<window::Page> pages) override { form_.showPages(pages); }

private:
    TForm1& form_;
};

TForm1::TForm1(std::unique_ptr<window::Prompts> prompts, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TForm1>()) {
    workspace_ = std::make_unique<MainWorkspace>(
        *this, prompts ? std::move(prompts) : std::make_unique<QtPrompts>(this));
    ui_->setupUi(this);
    // Single fixed border with the system menu and minimise only; the size comes from the form.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QPalette buttonFace = palette();
    buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
    setPalette(buttonFace);

    // Each page brings its own controls onto its tab page.
    using window::Page;
    new database::DatabasePage(*workspace_, &tabSheet(Page::Database));
    new creator::TableCreatorPage(*workspace_, &tabSheet(Page::TableCreator));
    new browser::BrowserPage(*workspace_, &tabSheet(Page::TableBrowser));
    new builder::QueryBuilderPage(*workspace_, &tabSheet(Page::QueryBuilder));
    new query::SqlConsolePage(*workspace_, &tabSheet(Page::ExecuteSql));

    pageChanges_ = std::make_unique<PageChangeWatcher>(*ui_->Book);
    pageChanges_->pageExited = [this](QWidget* sheet) {
        const int index = ui_->Book->indexOf(sheet);
        if (index < 0) return;
        workspace_->runHandler(
            [this, index] { emit workspace_->pageExited(static_cast<window::Page>(index)); });
    };
    pageChanges_->userChangedPage = [this] {
        const auto current = static_cast<window::Page>(ui_->Book->currentIndex());
        workspace_->runHandler([this, current] { emit workspace_->pageChanged(current); });
    };

    workspace_->runHandler([this] { FormCreate(); });
}

TForm1::~TForm1() {
    // The pages go while the workspace they work through still exists.
    pageChanges_.reset();
    delete ui_->Book;
}

QWidget& TForm1::tabSheet(window::Page page) {
    return *ui_->Book->widget(window::pageIndex(page));
}

void TForm1::showPages(std::initializer_list<window::Page> pages) {
    const PageChangeWatcher::ProgramChange byProgram(*pageChanges_);
    for (window::Page page : pages) ui_->Book->setTabVisible(window::pageIndex(page), true);
}

void TForm1::setCurrentPage(window::Page page) {
    const PageChangeWatcher::ProgramChange byProgram(*pageChanges_);
    ui_->Book->setCurrentIndex(window::pageIndex(page));
}

bool TForm1::event(QEvent* event) {
    // Only the first activation counts: later ones come back from modal boxes and dialogs or
    // from other applications, and leave the page as the user had it.
    if (event->type() == QEvent::WindowActivate && !activated_) {
        activated_ = true;
        workspace_->runHandler([this] { FormActivate(); });
    }
    return QWidget::event(event);
}

void TForm1::showEvent(QShowEvent* event) {
    if (!shown_) {
        shown_ = true;
        centreOnScreen();
    }
    QWidget::showEvent(event);
}

void TForm1::FormCreate() {
    const PageChangeWatcher::ProgramChange byProgram(*pageChanges_);
    using window::Page;
    for (Page page : {Page::QueryBuilder, Page::ExecuteSql, Page::TableCreator, Page::TableBrowser})
        ui_->Book->setTabVisible(window::pageIndex(page), false);
}

void TForm1::FormActivate() {
    setCurrentPage(window::Page::Database);
}

void TForm1::centreOnScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace app
