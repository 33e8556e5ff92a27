#include "controls/TwwLocateDialog.h"

#include "controls/DialogBoxes.h"
#include "controls/TwwDBNavigator.h"
#include "controls/TwwLocateDlg.h"
#include "data/TCustomADODataSet.h"

#include <QScreen>
#include <QTimer>

#include <stdexcept>

namespace controls {

TwwLocateDialog::TwwLocateDialog(TwwDBNavigator& navigator)
    : QDialog(&navigator), navigator_(navigator) {
    setObjectName(QStringLiteral("TwwLocateDialog"));
}

TwwLocateDialog& TwwLocateDialog::of(TwwDBNavigator& navigator) {
    auto* made = navigator.findChild<TwwLocateDialog*>(QString(), Qt::FindDirectChildrenOnly);
    return made ? *made : *new TwwLocateDialog(navigator);
}

bool TwwLocateDialog::execute() {
    data::TCustomADODataSet* dataSet = navigator_.dataSet();
    if (!dataSet || !dataSet->active()) {
        const std::runtime_error error("DataSource does not reference an active DataSet");
        runGuarded(navigator_.errorDisplay(), [&] { throw error; });
        return false;
    }
    DialogBoxes& boxes = boxes_ ? *boxes_ : defaultDialogBoxes();
    TwwLocateDlg window(*dataSet, boxes, navigator_.errorDisplay(), navigator_.window());
    window.load(settings_);
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    if (onShow_) QTimer::singleShot(0, &window, [this, &window] { onShow_(window); });
    const bool matched = window.exec() == Accepted;
    settings_ = window.settings();
    return matched;
}

} // namespace controls
