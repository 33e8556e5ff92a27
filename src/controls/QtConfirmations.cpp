#include "controls/QtConfirmations.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace controls {

bool QtConfirmations::confirm(const QString& text, ConfirmButtons buttons) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton* accept = nullptr;
    if (buttons == ConfirmButtons::OkCancel) {
        accept = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setEscapeButton(box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole));
    } else {
        accept = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        box.setEscapeButton(box.addButton(QStringLiteral("&No"), QMessageBox::NoRole));
    }
    box.setDefaultButton(accept);
    box.exec();
    return box.clickedButton() == accept;
}

Confirmations& defaultConfirmations() {
    // Stateless: one instance serves every control of the process.
    static QtConfirmations boxes;
    return boxes;
}

} // namespace controls
