#include "controls/TwwRecordViewDialog.h"

#include "controls/DialogBoxes.h"
#include "controls/TwwDBNavigator.h"
#include "controls/TwwRecordViewForm.h"
#include "data/TCustomADODataSet.h"

#include <QTimer>

namespace controls {

TwwRecordViewDialog::TwwRecordViewDialog(TwwDBNavigator& navigator)
    : QDialog(&navigator), navigator_(navigator) {
    setObjectName(QStringLiteral("TwwRecordViewDialog"));
}

TwwRecordViewDialog& TwwRecordViewDialog::of(TwwDBNavigator& navigator) {
    auto* made = navigator.findChild<TwwRecordViewDialog*>(QString(), Qt::FindDirectChildrenOnly);
    return made ? *made : *new TwwRecordViewDialog(navigator);
}

bool TwwRecordViewDialog::execute() {
    DialogBoxes& boxes = boxes_ ? *boxes_ : defaultDialogBoxes();
    data::TDataSource* source = navigator_.dataSource();
    data::TCustomADODataSet* dataSet = navigator_.dataSet();
    if (!source || !dataSet) {
        boxes.warning(QStringLiteral("DataSource or DataSource.DataSet not defined."));
        return false;
    }
    if (!dataSet->active()) {
        boxes.warning(QStringLiteral("DataSet must be active."));
        return false;
    }
    TwwRecordViewForm window(*source, boxes, navigator_.errorDisplay(), navigator_.window());
    if (onShow_) QTimer::singleShot(0, &window, [this, &window] { onShow_(window); });
    return window.exec() == Accepted;
}

} // namespace controls
