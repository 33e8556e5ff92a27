#pragma once
// The record view dialog component of one navigator: made on the first click of its record
// view button, bound to the navigator's data source; every opening builds the "Record View"
// window anew from the data set's current fields.
#include <QDialog>

#include <functional>

namespace controls {

class DialogBoxes;
class TwwDBNavigator;
class TwwRecordViewForm;

class TwwRecordViewDialog : public QDialog {
    Q_OBJECT
public:
    // A child of the navigator, so it lives as long.
    explicit TwwRecordViewDialog(TwwDBNavigator& navigator);

    // The one made for this navigator so far, else a new one.
    static TwwRecordViewDialog& of(TwwDBNavigator& navigator);

    // Execute: warns when there is no open data set, else shows the window modally; true
    // when it closed with OK.
    bool execute();
    int exec() override { return execute() ? Accepted : Rejected; }

    void setBoxes(DialogBoxes* boxes) { boxes_ = boxes; }
    // Called with each window once it is built, before it is shown (tests drive it).
    void setOnShow(std::function<void(TwwRecordViewForm&)> onShow) { onShow_ = std::move(onShow); }

private:
    TwwDBNavigator& navigator_;
    DialogBoxes* boxes_ = nullptr;
    std::function<void(TwwRecordViewForm&)> onShow_;
};

} // namespace controls
