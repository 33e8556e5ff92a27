#include "query/SqlConsolePage.h"

#include "app/TForm1.h"
#include "creator/MemoText.h"
#include "ui_SqlConsolePage.h"

namespace query {

SqlConsolePage::SqlConsolePage(app::TForm1& form, QWidget* page)
    : QWidget(page), ui_(std::make_unique<Ui::SqlConsolePage>()), form_(form) {
    ui_->setupUi(this);
    connect(ui_->Button6, &QPushButton::clicked, this, form_.guarded([this] { Button6Click(); }));
}

SqlConsolePage::~SqlConsolePage() = default;

void SqlConsolePage::Button6Click() {
    // Success shows nothing, not even rows: the text stays for another run or an edit.
    form_.command().execute(creator::memoText(*ui_->Memo1).toStdString());
}

} // namespace query
