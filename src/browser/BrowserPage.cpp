#include "browser/BrowserPage.h"

#include "browser/BrowserStatement.h"
#include "controls/ComboCompletion.h"
#include "controls/ComboList.h"
#include "controls/TwwNavButton.h"
#include "ui_BrowserPage.h"
#include "window/Workspace.h"

#include <QComboBox>

namespace browser {
namespace {

const QColor teal(0, 128, 128);
const QColor red(255, 0, 0);
const QString viewCaption = QStringLiteral("View");
const QString editCaption = QStringLiteral("Edit");

// The navigator buttons only Edit mode shows, in the order they are hidden and shown.
constexpr controls::NavButtonStyle editButtons[] = {
    controls::NavButtonStyle::Insert, controls::NavButtonStyle::Delete,
    controls::NavButtonStyle::Edit, controls::NavButtonStyle::Post,
    controls::NavButtonStyle::RecordViewDialog};

} // namespace

BrowserPage::BrowserPage(Services services, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::BrowserPage>()), services_(std::move(services)) {
    ui_->setupUi(this);
    ADOQuery1.setConnection(&services_.connection);
    DataSource1.setDataSet(&ADOQuery1);

    // The mode label's display face is not free; URW Gothic, a free face of the system's
    // standard fonts, stands in when it is missing.
    QFont labelFont;
    labelFont.setFamilies({QStringLiteral("Africaans SF"), QStringLiteral("URW Gothic")});
    labelFont.setPixelSize(32);
    labelFont.setStyleStrategy(QFont::PreferDefault);
    ui_->Label5->setFont(labelFont);
    ui_->Label5->adjustSize();
    setLabelColour(teal);

    controls::TwwDBGrid& grid = *ui_->wwDBGrid1;
    grid.setDataSource(&DataSource1);
    grid.setReadOnly(true);
    grid.setConfirmations(&services_.confirmations);
    grid.setErrorDisplay(services_.showError);
    controls::TwwDBNavigator& nav = *ui_->nav;
    nav.setDataSource(&DataSource1);
    nav.setConfirmations(&services_.confirmations);
    nav.setErrorDisplay(services_.showError);

    selector_ = new controls::ComboCompletion(*ui_->dbtabs);
    connect(selector_, &controls::ComboCompletion::userChanged, this,
            [this] { guarded([this] { dbtabsChange(); }); });
    connect(&grid, &controls::TwwDBGrid::titleButtonClick, this,
            [this](const QString& field) { guarded([&] { wwDBGrid1TitleButtonClick(field); }); });
    connect(ui_->Label5, &controls::ClickLabel::clicked, this,
            [this] { guarded([this] { Label5Click(); }); });
}

BrowserPage::BrowserPage(window::Workspace& workspace, QWidget* page)
    : BrowserPage(
          Services{workspace.connection(), workspace.prompts(),
                   [&workspace](const std::exception& error) { workspace.showException(error); }},
          page) {
    // The name the window's tests and the page's tab know it by.
    setObjectName(QStringLiteral("TableBrowserPage"));
    using window::Page;
    connect(&workspace, &window::Workspace::tablesListed, this,
            [this](const std::vector<std::string>& names) {
                controls::fillComboList(*ui_->dbtabs, names);
            });
    connect(&workspace, &window::Workspace::pageExited, this, [this, &workspace](Page left) {
        if (left == Page::TableBrowser) workspace.runHandler([this] { TabSheet2Exit(); });
        if (left == Page::TableCreator) workspace.runHandler([this] { creatorExitViewReset(); });
    });
    connect(&workspace, &window::Workspace::browserSortRequested, this,
            [this, &workspace](const QString& field) {
                workspace.runHandler([&] { wwDBGrid1TitleButtonClick(field); });
            });
    connect(&workspace, &window::Workspace::pageChanged, this,
            [this, &workspace] { workspace.runHandler([this] { pageChangeViewReset(); }); });
}

BrowserPage::~BrowserPage() {
    ui_->wwDBGrid1->setDataSource(nullptr);
    ui_->nav->setDataSource(nullptr);
}

void BrowserPage::guarded(const std::function<void()>& handler) {
    controls::runGuarded(services_.showError, handler);
}

QComboBox& BrowserPage::tableSelector() {
    return *ui_->dbtabs;
}

std::string BrowserPage::tableName() const {
    return ui_->dbtabs->currentText().toStdString();
}

void BrowserPage::dbtabsChange() {
    // Assigning the statement closes the query: an unposted change is dropped.
    ADOQuery1.setSQL(tableStatement(tableName()));
    ADOQuery1.open();
    try {
        ADOQuery1.requery();
    } catch (...) {
        ADOQuery1.close();
        throw;
    }
    fullViewReset();
    ui_->wwDBGrid1->rebuildLayout();
}

void BrowserPage::wwDBGrid1TitleButtonClick(const QString& fieldName) {
    ADOQuery1.close();
    ADOQuery1.setSQL(sortedStatement(tableName(), fieldName.toStdString()));
    ADOQuery1.open();
    ADOQuery1.requery();
}

void BrowserPage::TabSheet2Exit() {
    ui_->dbtabs->setEditText(QStringLiteral("Select Table"));
}

void BrowserPage::Label5Click() {
    if (ui_->Label5->text() == viewCaption)
        editSwitch();
    else
        fullViewReset();
}

void BrowserPage::viewSteps() {
    setLabelColour(teal);
    disableDataSource();
    DataSource1.setAutoEdit(false);
    showEditButtons(false);
    ui_->Label5->setText(viewCaption);
    ui_->Label5->adjustSize();
    ui_->Label5->repaint();
}

void BrowserPage::fullViewReset() {
    viewSteps();
    DataSource1.setEnabled(true);
    ui_->wwDBGrid1->setReadOnly(true);
}

void BrowserPage::creatorExitViewReset() {
    viewSteps();
    ui_->wwDBGrid1->setReadOnly(true);
}

void BrowserPage::pageChangeViewReset() {
    viewSteps();
}

void BrowserPage::editSwitch() {
    disableDataSource();
    DataSource1.setAutoEdit(true);
    setLabelColour(red);
    ui_->Label5->setText(editCaption);
    ui_->Label5->adjustSize();
    ui_->Label5->repaint();
    showEditButtons(true);
    DataSource1.setEnabled(true);
    ui_->wwDBGrid1->setReadOnly(false);
}

void BrowserPage::disableDataSource() {
    // The filter dialog hears of it through its own link to DataSource1.
    DataSource1.setEnabled(false);
}

void BrowserPage::setLabelColour(const QColor& colour) {
    QPalette palette = ui_->Label5->palette();
    palette.setColor(QPalette::WindowText, colour);
    ui_->Label5->setPalette(palette);
}

void BrowserPage::showEditButtons(bool shown) {
    for (controls::NavButtonStyle style : editButtons) ui_->nav->button(style).setVisible(shown);
}

} // namespace browser
