#include "app/TForm1.h"

#include "app/ErrorBoxText.h"
#include "app/JpegImage.h"
#include "app/PageChangeWatcher.h"
#include "app/QtPrompts.h"
#include "browser/BrowserPage.h"
#include "creator/TableCreatorPage.h"
#include "database/ConnectionCommand.h"
#include "database/DatabasePage.h"
#include "query/SqlConsolePage.h"
#include "ui_TForm1.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>

#include <span>
#include <stdexcept>

// The logos live in a resource file compiled into this static library; registering it from
// here also keeps the linker from dropping it.
static void initLogoResources() {
    Q_INIT_RESOURCE(logos);
}

namespace app {

TForm1::TForm1(std::unique_ptr<Prompts> prompts, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TForm1>()),
      prompts_(prompts ? std::move(prompts) : std::make_unique<QtPrompts>(this)) {
    initLogoResources();
    ui_->setupUi(this);
    // Single fixed border with the system menu and minimise only; the size comes from the form.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QPalette buttonFace = palette();
    buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
    setPalette(buttonFace);
    ui_->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    showLogo();
    // The Database page's controls are the window's own; its actions work on them.
    new database::DatabasePage(*this);
    setCommand(std::make_unique<database::ConnectionCommand>(ADOCommand1, ADOConnection1));
    // The pages bring their own controls; the window's tab pages hold them.
    new creator::TableCreatorPage(*this, ui_->TabSheet1);
    new query::SqlConsolePage(*this, ui_->TabSheet4);
    browserPage_ = new browser::BrowserPage(
        {ADOConnection1, *prompts_, [this](const std::exception& error) { showException(error); }},
        ui_->TabSheet2);
    pageHandlers.tabSheet1Exit = [this] { browserPage_->creatorExitViewReset(); };
    pageHandlers.tabSheet2Exit = [this] { browserPage_->TabSheet2Exit(); };
    pageHandlers.bookChange = [this] { browserPage_->pageChangeViewReset(); };

    pageChanges_ = std::make_unique<PageChangeWatcher>(*ui_->Book);
    pageChanges_->pageExited = [this](QWidget* page) {
        if (page == ui_->TabSheet1) runHandler([this] { TabSheet1Exit(); });
        if (page == ui_->TabSheet2) runHandler([this] { TabSheet2Exit(); });
    };
    pageChanges_->userChangedPage = [this] { runHandler([this] { BookChange(); }); };
    connect(ui_->BitBtn1, &QPushButton::clicked, this, guarded([this] { close(); }));

    runHandler([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        showException(error);
    } catch (...) {
        showException(std::runtime_error(unknownErrorMessage));
    }
}

void TForm1::showException(const std::exception& error) {
    prompts_->error(QString::fromStdString(errorBoxText(error.what())));
}

void TForm1::showTabs(std::initializer_list<int> pages) {
    const PageChangeWatcher::ProgramChange byProgram(*pageChanges_);
    for (int page : pages) ui_->Book->setTabVisible(page, true);
}

void TForm1::setCurrentPage(QWidget* page) {
    const PageChangeWatcher::ProgramChange byProgram(*pageChanges_);
    ui_->Book->setCurrentWidget(page);
}

QComboBox& TForm1::dbtabs() {
    return browserPage_->tableSelector();
}

bool TForm1::event(QEvent* event) {
    // Only the first activation counts: later ones come back from modal boxes and dialogs or
    // from other applications, and leave the page as the user had it.
    if (event->type() == QEvent::WindowActivate && !activated_) {
        activated_ = true;
        runHandler([this] { FormActivate(); });
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
#ifndef Q_OS_WIN
    // The form's example path is a Windows one; elsewhere it starts in the user's home folder.
    ui_->dbname->setText(QDir::toNativeSeparators(QDir::homePath() +
                                                  QStringLiteral("/file_path/database_name.mdb")));
#endif
    const PageChangeWatcher::ProgramChange byProgram(*pageChanges_);
    for (int page : {3, 4, 1, 2}) ui_->Book->setTabVisible(page, false);
}

void TForm1::FormActivate() {
    setCurrentPage(ui_->TabSheet3);
}

void TForm1::BookChange() {
    if (pageHandlers.bookChange) pageHandlers.bookChange();
}

void TForm1::TabSheet1Exit() {
    if (pageHandlers.tabSheet1Exit) pageHandlers.tabSheet1Exit();
}

void TForm1::TabSheet2Exit() {
    if (pageHandlers.tabSheet2Exit) pageHandlers.tabSheet2Exit();
}

void TForm1::showLogo() {
    QFile file(QStringLiteral(":/logos/logo.jpg"));
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    const QImage logo = decodeJpeg(std::span(reinterpret_cast<const unsigned char*>(bytes.data()),
                                             static_cast<std::size_t>(bytes.size())));
    ui_->fcImager1->setPixmap(QPixmap::fromImage(logo));
}

void TForm1::centreOnScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace app
