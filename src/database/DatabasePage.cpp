#include "database/DatabasePage.h"

#include "app/TForm1.h"
#include "core/Error.h"
#include "data/ConnectionString.h"
#include "data/TJetEngine.h"
#include "database/CompactFiles.h"
#include "database/FolderCreation.h"
#include "database/JetConnectionStrings.h"
#include "database/NativePath.h"
#include "database/ProgressDialog.h"
#include "database/TableList.h"
#include "jet/file/Journal.h"
#include "jet/file/OsFile.h"
#include "ui_TForm1.h"

#include <QFileInfo>
#include <QPushButton>

#include <optional>

namespace database {

namespace {
const QString databaseFilter = QStringLiteral("Access Databases|*.mdb");
} // namespace

DatabasePage::DatabasePage(app::TForm1& form) : QObject(&form), form_(form) {
    const auto onClick = [this](QPushButton* button, void (DatabasePage::*action)()) {
        connect(button, &QPushButton::clicked, this,
                form_.guarded([this, action] { runAlone(action); }));
    };
    onClick(form_.ui().btnO, &DatabasePage::btnOClick);
    onClick(form_.ui().N, &DatabasePage::NClick);
    onClick(form_.ui().Button7, &DatabasePage::Button7Click);
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
    Ui::TForm1& ui = form_.ui();
    form_.ADOConnection1.close();
    app::TOpenDialog& dialog = form_.OpenDialog1;
    dialog.filter = databaseFilter;
    // The answer is not asked: after a cancel the dialog still holds the last file confirmed
    // in it (or no name at all), and that is what is opened.
    dialog.execute();
    ui.dbname->setText(nativePath(dialog.fileName));
    form_.ADOConnection1.setConnectionString(
        openConnectionString(ui.dbname->text(), ui.dbpass->text()).toStdString());
    // No login box, now or for any later connection of this run.
    form_.ADOConnection1.setLoginPrompt(false);
    openConnection();
    fillTableList(form_.dbtabs(), form_.ADOConnection1.tableNames());
    form_.showTabs({4, 3, 1, 2});
}

void DatabasePage::openConnection() {
    data::TADOConnection& connection = form_.ADOConnection1;
    const QString file =
        QString::fromStdString(data::ConnectionString(connection.connectionString()).dataSource());
    // A journal beside the file means a change was cut off; opening rolls it back, which for
    // a large change takes a while.
    std::optional<ProgressDialog> recovering;
    if (!file.isEmpty() && jet::fileExists(jet::journalPathFor(filePath(file)))) {
        recovering.emplace(QStringLiteral("Rolling back an interrupted change to ") + file +
                               QStringLiteral("..."),
                           &form_);
        recovering->start();
    }
    connection.open();
    recovering.reset();
    if (connection.recoveredJournal())
        form_.prompts().information(QStringLiteral("The last change to ") + file +
                                    QStringLiteral(" was interrupted; it has been rolled back."));
}

void DatabasePage::NClick() {
    Ui::TForm1& ui = form_.ui();
    const QString path = ui.dbname->text();
    createMissingFolders(path);
    const QString connectionString = createConnectionString(path, ui.dbpass->text());
    if (QFileInfo(path).isFile()) {
        form_.prompts().information(QStringLiteral("File Already Exists"));
        return;
    }
    form_.ADOXCatalog1.create(connectionString.toStdString());
    form_.prompts().information(QStringLiteral("New Database Created"));
    form_.showTabs({3, 4, 1, 2});
}

void DatabasePage::Button7Click() {
    Ui::TForm1& ui = form_.ui();
    app::TOpenDialog& dialog = form_.OpenDialog1;
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
        ProgressDialog progress(QStringLiteral("Compacting ") + file + QStringLiteral("..."),
                                &form_);
        progress.start();
        data::TJetEngine engine;
        const jet::CompactProgress report = [&progress](std::uint64_t done, std::uint64_t total) {
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
        form_.prompts().information(QString::fromStdString(error.what()));
        return;
    }
    replaceWithCopy(copy, file);
}

} // namespace database
