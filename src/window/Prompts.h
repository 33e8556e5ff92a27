#pragma once
// The modal prompts the window shows: message boxes and file dialogs. The window uses the real
// ones; tests install a scripted set that answers and records. The grid's and the navigator's
// own confirmation boxes are among them.
#include "controls/Confirmations.h"

#include <QString>

#include <optional>

namespace window {

class Prompts : public controls::Confirmations {
public:
    virtual ~Prompts() = default;

    // Every success message: titled with the application title, no icon, one OK button.
    virtual void information(const QString& text) = 0;
    // Titled "Confirm", "&Yes" and "&No"; true only for Yes.
    virtual bool confirmation(const QString& text) = 0;
    // The top-level error display; the text is shown as given.
    virtual void error(const QString& text) = 0;
    // Filters are written "Description|*.ext|Description|*.a;*.b". Each returns the chosen
    // path, or nothing when the user cancels.
    virtual std::optional<QString> openFileName(const QString& filter,
                                                const QString& currentName) = 0;
    virtual std::optional<QString> saveFileName(const QString& filter,
                                                const QString& presetName) = 0;
};

} // namespace window
