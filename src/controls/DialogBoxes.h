#pragma once
// The message boxes the locate and record view dialogs show: information, warnings and the
// three-answer question before changes are thrown away. Real boxes by default; tests install
// scripted ones.
#include <QString>

namespace controls {

enum class SaveAnswer { Yes, No, Cancel };

class DialogBoxes {
public:
    virtual ~DialogBoxes() = default;
    // Titled with the application title, no icon, one OK button.
    virtual void information(const QString& text) = 0;
    // Titled with the application title, the warning icon, one OK button.
    virtual void warning(const QString& text) = 0;
    // Titled "Confirm", the question icon, Yes (default), No and Cancel (also Escape and the
    // close box).
    virtual SaveAnswer yesNoCancel(const QString& text) = 0;
};

// Qt message boxes, shared by every dialog of the process (they hold no state).
DialogBoxes& defaultDialogBoxes();

} // namespace controls
