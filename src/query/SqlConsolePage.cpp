#include "query/SqlConsolePage.h"

#include "controls/MemoText.h"
#include "ui_SqlConsolePage.h"
#include "window/Workspace.h"

namespace query {

SqlConsolePage::SqlConsolePage(window::Workspace& workspace, QWidget* page)
    : QWidget(page), ui_(std::make_unique<Ui::SqlConsolePage>()), workspace_(workspace) {
    ui_->setupUi(this);
    connect(ui_->Button6, &QPushButton::clicked, this,
            workspace_.guarded([this] { Button6Click(); }));
}

SqlConsolePage::~SqlConsolePage() = default;

void SqlConsolePage::Button6Click() {
    // Success shows nothing, not even rows: the text stays for another run or an edit.
    workspace_.command().execute(controls::memoText(*ui_->Memo1).toStdString());
}

} // namespace query
