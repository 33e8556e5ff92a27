#include "database/DatabasePage.h"

#include "controls/ProgressDialog.h"
#include "core/Error.h"
#include "data/ConnectionString.h"
#include "data/TJetEngine.h"
#include "database/CompactFiles.h"
#include "database/FolderCreation.h"
#include "database/JetConnectionStrings.h"
#include "database/JpegImage.h"
#include "database/NativePath.h"
#include "ui_DatabasePage.h"
#include "window/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QStyle>

#include <optional>
#include <span>
#include <string>
#include <vector>

// The logos live in a resource file compiled into this static library; registering it from
// here also keeps the linker from dropping it.
static void initLogoResources() {
    Q_INIT_RESOURCE(logos);
}

namespace database {

namespace {
const QString databaseFilter = QStringLiteral("Access Databases|*.mdb");
} // namespace

DatabasePage::DatabasePage(window::Workspace& workspace, QWidget* page)
    : QWidget(page), ui_(std::make_unique<Ui::DatabasePage>()), workspace_(workspace) {
    initLogoResources();
    ui_->setupUi(this);
#ifndef Q_OS_WIN
    // The form's example path is a Windows one; elsewhere it starts in the user's home folder.
    ui_->dbname->setText(QDir::toNativeSeparators(QDir::homePath() +
                                                  QStringLiteral("/file_path/database_name.mdb")));
#endif
    ui_->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    showLogo();
    ui_->Label3->setText(QStringLiteral("Version " TABLORY_VERSION));
    const auto onClick = [this](QPushButton* button, void (DatabasePage::*action)()) {
        connect(button, &QPushButton::clicked, this,
                workspace_.guarded([this, action] { runAlone(action); }));
    };
    onClick(ui_->btnO, &DatabasePage::btnOClick);
    onClick(ui_->N, &DatabasePage::NClick);
    onClick(ui_->Button7, &DatabasePage::Button7Click);
    connect(ui_->BitBtn1, &QPushButton::clicked, this,
            workspace_.guarded([this] { workspace_.window().close(); }));
}

DatabasePage::~DatabasePage() = default;

void DatabasePage::showLogo() {
    QFile file(QStringLiteral(":/logos/logo.jpg"));
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    const QImage logo = decodeJpeg(std::span(reinterpret_cast<const unsigned char*>(bytes.data()),
                                             static_cast<std::size_t>(bytes.size())));
    ui_->fcImager1->setPixmap(QPixmap::fromImage(logo));
}

void DatabasePage::runAlone(void (DatabasePage::*action)()) {
    if (busy_) return;
    busy_ = true;
    struct Done {
        bool& busy;
        ~Done() { busy = false; }
    } done{busy_};
    (this->*action)();
}

void DatabasePage::btnOClick() {
    Ui::DatabasePage& ui = *ui_;
    workspace_.connection().close();
    window::TOpenDialog& dialog = workspace_.openDialog();
    dialog.filter = databaseFilter;
    // The answer is not asked: after a cancel the dialog still holds the last file confirmed
    // in it (or no name at all), and that is what is opened.
    dialog.execute();
    ui.dbname->setText(nativePath(dialog.fileName));
    workspace_.connection().setConnectionString(
        openConnectionString(ui.dbname->text(), ui.dbpass->text()).toStdString());
    // No login box, now or for any later connection of this run.
    workspace_.connection().setLoginPrompt(false);
    openConnection();
    const std::vector<std::string> tables = workspace_.connection().tableNames();
    emit workspace_.tablesListed(tables);
    using window::Page;
    workspace_.showPages(
        {Page::ExecuteSql, Page::QueryBuilder, Page::TableCreator, Page::TableBrowser});
}

void DatabasePage::openConnection() {
    data::TADOConnection& connection = workspace_.connection();
    const QString file =
        QString::fromStdString(data::ConnectionString(connection.connectionString()).dataSource());
    // A change that was cut off is rolled back by the opening, which for a large change takes
    // a while.
    std::optional<controls::ProgressDialog> recovering;
    if (connection.needsRecovery()) {
        recovering.emplace(QStringLiteral("Rolling back an interrupted change to ") + file +
                               QStringLiteral("..."),
                           &workspace_.window());
        recovering->start();
    }
    connection.open();
    recovering.reset();
    if (connection.recoveredJournal())
        workspace_.prompts().information(
            QStringLiteral("The last change to ") + file +
            QStringLiteral(" was interrupted; it has been rolled back."));
}

void DatabasePage::NClick() {
    Ui::DatabasePage& ui = *ui_;
    const QString path = ui.dbname->text();
    createMissingFolders(path);
    const QString connectionString = createConnectionString(path, ui.dbpass->text());
    if (QFileInfo(path).isFile()) {
        workspace_.prompts().information(QStringLiteral("File Already Exists"));
        return;
    }
    workspace_.catalog().create(connectionString.toStdString());
    workspace_.prompts().information(QStringLiteral("New Database Created"));
    using window::Page;
    workspace_.showPages(
        {Page::QueryBuilder, Page::ExecuteSql, Page::TableCreator, Page::TableBrowser});
}

void DatabasePage::Button7Click() {
    Ui::DatabasePage& ui = *ui_;
    window::TOpenDialog& dialog = workspace_.openDialog();
    dialog.filter = databaseFilter;
    // Unlike Open, a cancel means "not now": compacting the last file chosen for some other
    // action is not what the user asked for.
    if (!dialog.execute()) return;
    ui.dbname->setText(nativePath(dialog.fileName));
    const QString file = ui.dbname->text();
    const QString copy = temporaryCopyPath(file);
    const QString source = compactConnectionString(file);
    const QString destination = compactConnectionString(copy);
    removeLeftoverCopy(copy);
    try {
        controls::ProgressDialog progress(
            QStringLiteral("Compacting ") + file + QStringLiteral("..."), &workspace_.window());
        progress.start();
        data::TJetEngine engine;
        const data::CompactProgress report = [&progress](std::uint64_t done, std::uint64_t total) {
            progress.report(done, total);
        };
        try {
            engine.compactDatabase(source.toStdString(), destination.toStdString(), report);
        } catch (const core::PasswordError&) {
            // The plain strings carry no password, so a file that has one would never be
            // compacted; the password typed for Open is tried before the refusal stands.
            const QString password = ui.dbpass->text();
            if (password.isEmpty()) throw;
            engine.compactDatabase(compactConnectionString(file, password).toStdString(),
                                   destination.toStdString(), report);
        }
    } catch (const std::exception& error) {
        // The engine's own words, in an information box; the file was only read.
        workspace_.prompts().information(QString::fromStdString(error.what()));
        return;
    }
    replaceWithCopy(copy, file);
}

} // namespace database
