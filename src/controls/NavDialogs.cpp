#include "controls/NavDialogs.h"

#include "controls/TwwFilterDialog.h"
#include "controls/TwwLocateDialog.h"
#include "controls/TwwRecordViewDialog.h"

#include <QDialog>

namespace controls {

QDialog* makeNavDialog(NavDialog kind, TwwDBNavigator& navigator) {
    switch (kind) {
    case NavDialog::Filter:
        return new TwwFilterDialog(navigator.dataSource(), &navigator);
    case NavDialog::Locate:
        // One per navigator, whatever data set it shows: its settings last the process.
        return &TwwLocateDialog::of(navigator);
    case NavDialog::RecordView:
        return &TwwRecordViewDialog::of(navigator);
    case NavDialog::Search:
        break;
    }
    return nullptr;
}

} // namespace controls
