// The dialogs' message boxes as Qt message boxes.
#include "controls/DialogBoxes.h"
#include "controls/InformationBox.h"

#include <QApplication>
#include <QMessageBox>

namespace controls {
namespace {

int runBox(QMessageBox::Icon icon, const QString& title, const QString& text,
           QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
           QMessageBox::StandardButton escapeButton) {
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    return box.exec();
}

class QtDialogBoxes final : public DialogBoxes {
public:
    void information(const QString& text) override {
        showInformation(QApplication::activeWindow(), text);
    }
    void warning(const QString& text) override {
        runBox(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok,
               QMessageBox::Ok, QMessageBox::Ok);
    }
    SaveAnswer yesNoCancel(const QString& text) override {
        switch (runBox(QMessageBox::Question, QStringLiteral("Confirm"), text,
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                       QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return SaveAnswer::Yes;
        case QMessageBox::No:
            return SaveAnswer::No;
        default:
            return SaveAnswer::Cancel;
        }
    }
};

} // namespace

DialogBoxes& defaultDialogBoxes() {
    static QtDialogBoxes boxes;
    return boxes;
}

} // namespace controls
