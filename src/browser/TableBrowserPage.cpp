#include "browser/TableBrowserPage.h"

#include "browser/TableList.h"
#include "ui_TableBrowserPage.h"
#include "window/Workspace.h"

namespace browser {

TableBrowserPage::TableBrowserPage(window::Workspace& workspace, QWidget* page)
    : QWidget(page), ui_(std::make_unique<Ui::TableBrowserPage>()), workspace_(workspace) {
    ui_->setupUi(this);
    connect(&workspace_, &window::Workspace::tablesListed, this,
            [this](const std::vector<std::string>& names) { fillTableList(*ui_->dbtabs, names); });
}

TableBrowserPage::~TableBrowserPage() = default;

} // namespace browser
