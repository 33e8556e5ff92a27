#pragma once
// The locate dialog component of one navigator: made on the first click of its locate
// button, it keeps the field, value, match kind and case choice for the life of the process
// (whatever table the navigator shows next) and builds the window anew at every opening.
#include "controls/ControlErrors.h"
#include "controls/LocateSettings.h"

#include <QDialog>

#include <functional>

namespace controls {

class DialogBoxes;
class TwwDBNavigator;
class TwwLocateDlg;

class TwwLocateDialog : public QDialog {
    Q_OBJECT
public:
    // Bound to the navigator's data source; a child of the navigator, so it lives as long.
    explicit TwwLocateDialog(TwwDBNavigator& navigator);

    // The one made for this navigator so far, else a new one.
    static TwwLocateDialog& of(TwwDBNavigator& navigator);

    // Execute: shows the window modally; true when it closed on a match.
    bool execute();
    int exec() override { return execute() ? Accepted : Rejected; }

    const LocateSettings& settings() const { return settings_; }
    void setBoxes(DialogBoxes* boxes) { boxes_ = boxes; }
    // Called with each window once it is filled, before it is shown (tests drive it).
    void setOnShow(std::function<void(TwwLocateDlg&)> onShow) { onShow_ = std::move(onShow); }

private:
    TwwDBNavigator& navigator_;
    DialogBoxes* boxes_ = nullptr;
    LocateSettings settings_;
    std::function<void(TwwLocateDlg&)> onShow_;
};

} // namespace controls
