#include "app/QtPrompts.h"

#include "controls/QtConfirmations.h"

#include "app/FileFilter.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace app {

namespace {

QString applicationTitle() {
    return QCoreApplication::applicationName();
}

// Without a parent the box is centred on the screen rather than over the window; it is still
// modal for the whole application.
int runBox(QMessageBox::Icon icon, const QString& title, const QString& text,
           QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
           QMessageBox::StandardButton escapeButton) {
    QMessageBox box(icon, title, text, buttons);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    return box.exec();
}

std::optional<QString> runFileDialog(QFileDialog& dialog, const QString& filter,
                                     const QString& name) {
    dialog.setNameFilters(nameFilters(filter));
    if (!name.isEmpty()) dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

QtPrompts::QtPrompts(QWidget* window) : window_(window) {}

void QtPrompts::information(const QString& text) {
    runBox(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, QMessageBox::Ok,
           QMessageBox::Ok);
}

bool QtPrompts::confirmation(const QString& text) {
    return runBox(QMessageBox::Question, QStringLiteral("Confirm"), text,
                  QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                  QMessageBox::No) == QMessageBox::Yes;
}

bool QtPrompts::confirm(const QString& text, controls::ConfirmButtons buttons) {
    return controls::QtConfirmations().confirm(text, buttons);
}

void QtPrompts::error(const QString& text) {
    runBox(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, QMessageBox::Ok,
           QMessageBox::Ok);
}

std::optional<QString> QtPrompts::openFileName(const QString& filter, const QString& currentName) {
    QFileDialog dialog(window_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name of a file that does not exist yet is accepted as it is.
    dialog.setFileMode(QFileDialog::AnyFile);
    return runFileDialog(dialog, filter, currentName);
}

std::optional<QString> QtPrompts::saveFileName(const QString& filter, const QString& presetName) {
    QFileDialog dialog(window_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The saving actions add their own extension and replace files without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString());
    return runFileDialog(dialog, filter, presetName);
}

} // namespace app
