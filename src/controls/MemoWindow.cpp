#include "controls/MemoWindow.h"

#include "ui_MemoWindow.h"

namespace controls {

MemoWindow::MemoWindow(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::MemoWindow>()) {
    ui_->setupUi(this);
    connect(ui_->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

MemoWindow::~MemoWindow() = default;

void MemoWindow::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    ui_->Memo->setReadOnly(readOnly);
    ui_->CancelBtn->setVisible(!readOnly);
}

void MemoWindow::setFieldText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui_->Memo->setPlainText(shown);
}

std::string MemoWindow::fieldText() const {
    QString text = ui_->Memo->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.toStdString();
}

} // namespace controls
