#include "controls/ProgressDialog.h"

#include "ui_ProgressDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include <algorithm>

namespace controls {

ProgressDialog::ProgressDialog(const QString& text, QWidget* window)
    : QDialog(window), ui_(std::make_unique<Ui::ProgressDialog>()) {
    ui_->setupUi(this);
    setWindowTitle(QCoreApplication::applicationName());
    // A title without a close button: the box goes when the work is done.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);
    ui_->label->setText(text);
    ui_->bar->setRange(0, 0);
}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::start() {
    show();
    letWindowsPaint();
}

void ProgressDialog::report(std::uint64_t done, std::uint64_t total) {
    if (ui_->bar->maximum() == 0) ui_->bar->setRange(0, barMaximum);
    const std::uint64_t part = total == 0 ? barMaximum : std::min(done, total) * barMaximum / total;
    ui_->bar->setValue(static_cast<int>(part));
    letWindowsPaint();
}

QString ProgressDialog::text() const {
    return ui_->label->text();
}

int ProgressDialog::position() const {
    return ui_->bar->value();
}

void ProgressDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void ProgressDialog::letWindowsPaint() {
    // Input to the window is held off by the box's modality; paint and other events go on.
    QCoreApplication::processEvents();
}

} // namespace controls
