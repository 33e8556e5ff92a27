#pragma once
// The real prompts: Qt message boxes centred on the screen and Qt file dialogs.
#include "window/Prompts.h"

class QWidget;

namespace app {

class QtPrompts final : public window::Prompts {
public:
    // The file dialogs open over the window; the message boxes belong to the application.
    explicit QtPrompts(QWidget* window);

    void information(const QString& text) override;
    bool confirmation(const QString& text) override;
    bool confirm(const QString& text, controls::ConfirmButtons buttons) override;
    void error(const QString& text) override;
    std::optional<QString> openFileName(const QString& filter, const QString& currentName) override;
    std::optional<QString> saveFileName(const QString& filter, const QString& presetName) override;

private:
    QWidget* window_;
};

} // namespace app
