#include "controls/TwwDBNavigator.h"

#include "controls/NavButtonSizing.h"
#include "controls/QtConfirmations.h"
#include "controls/NavDialogs.h"
#include "controls/SearchDialog.h"
#include "controls/TwwNavButton.h"
#include "data/TCustomADODataSet.h"

#include <QDialog>
#include <QEvent>

namespace controls {
namespace {

const char* const styleSuffixes[navButtonCount] = {"First",        "PriorPage",
                                                   "Prior",        "Next",
                                                   "NextPage",     "Last",
                                                   "Insert",       "Delete",
                                                   "Edit",         "Post",
                                                   "Cancel",       "Refresh",
                                                   "SaveBookmark", "RestoreBookmark",
                                                   "FilterDialog", "RecordViewDialog",
                                                   "LocateDialog", "SearchDialog"};

} // namespace

TwwDBNavigator::TwwDBNavigator(QWidget* parent) : QWidget(parent) {
    for (NavButtonStyle style : allNavButtonStyles()) {
        auto* button = new TwwNavButton(style, this);
        buttons_[static_cast<std::size_t>(style)] = button;
        button->installEventFilter(this);
        connect(button, &QAbstractButton::clicked, this, [this, style] { click(style); });
    }
    setButtonNames(styleNames(QStringLiteral("nav")));
}

TwwDBNavigator::~TwwDBNavigator() {
    for (TwwNavButton* button : buttons_) button->removeEventFilter(this);
    TDataLink::setDataSource(nullptr);
}

void TwwDBNavigator::setDataSource(data::TDataSource* source) {
    TDataLink::setDataSource(source);
    updateButtons();
}

TwwNavButton& TwwDBNavigator::button(NavButtonStyle style) const {
    return *buttons_.at(static_cast<std::size_t>(style));
}

void TwwDBNavigator::setButtonNames(const std::array<QString, navButtonCount>& names) {
    for (std::size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->setObjectName(names[i]);
}

std::array<QString, navButtonCount> TwwDBNavigator::styleNames(const QString& prefix) {
    std::array<QString, navButtonCount> names;
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = prefix + QString::fromLatin1(styleSuffixes[i]);
    return names;
}

std::array<QString, navButtonCount> TwwDBNavigator::numberedNames(const QString& prefix) {
    std::array<QString, navButtonCount> names;
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = prefix + QString::number(i + 1);
    return names;
}

QDialog* TwwDBNavigator::dialog(NavDialog kind) const {
    auto found = dialogs_.find({kind, dataSet()});
    return found == dialogs_.end() ? nullptr : found->second.data();
}

bool TwwDBNavigator::hasBookmark() const {
    return bookmarkSet_ && bookmarkSet_ == dataSet() && !bookmark_.empty() &&
           bookmarkSet_->bookmarkValid(bookmark_);
}

void TwwDBNavigator::activeChanged() {
    // The bookmark dies with the opening it was made in.
    if (bookmarkSet_ && (bookmarkSet_ != dataSet() || !bookmarkSet_->active())) {
        bookmarkSet_ = nullptr;
        bookmark_ = {};
    }
    updateButtons();
}

void TwwDBNavigator::updateButtons() {
    data::TCustomADODataSet* ds = isActive() ? dataSet() : nullptr;
    if (!ds) {
        for (TwwNavButton* button : buttons_) button->setEnabled(false);
        return;
    }
    bool atBeginning = true;
    bool atEnd = true;
    try {
        const bool empty = ds->isEmpty();
        atBeginning = empty || ds->bof() || ds->recNo() <= 1;
        atEnd = empty || ds->eof() || !ds->hasRecord(static_cast<std::size_t>(ds->recNo()));
    } catch (const std::exception&) {
        // Rows that cannot be read: the moves towards them stay off.
    }
    const bool canModify = ds->canModify();
    const bool editing =
        ds->state() == data::DataSetState::Edit || ds->state() == data::DataSetState::Insert;
    auto set = [this](NavButtonStyle style, bool on) { button(style).setEnabled(on); };
    for (NavButtonStyle style :
         {NavButtonStyle::First, NavButtonStyle::PriorPage, NavButtonStyle::Prior})
        set(style, !atBeginning);
    for (NavButtonStyle style :
         {NavButtonStyle::Next, NavButtonStyle::NextPage, NavButtonStyle::Last})
        set(style, !atEnd);
    set(NavButtonStyle::Insert, canModify);
    set(NavButtonStyle::Delete, canModify && !ds->isEmpty());
    set(NavButtonStyle::Edit, canModify && !editing);
    set(NavButtonStyle::Post, canModify && editing);
    set(NavButtonStyle::Cancel, canModify && editing);
    set(NavButtonStyle::Refresh, canModify);
    set(NavButtonStyle::SaveBookmark, true);
    set(NavButtonStyle::RestoreBookmark, hasBookmark());
    for (NavButtonStyle style : {NavButtonStyle::FilterDialog, NavButtonStyle::RecordViewDialog,
                                 NavButtonStyle::LocateDialog, NavButtonStyle::SearchDialog})
        set(style, true);
}

void TwwDBNavigator::click(NavButtonStyle style) {
    if (!isActive()) return;
    if (!runGuarded(errors_, [&] { act(style); })) {
        // An error ends a held button's repeat.
        button(style).setDown(false);
    }
    updateButtons();
}

void TwwDBNavigator::act(NavButtonStyle style) {
    data::TCustomADODataSet& ds = *dataSet();
    switch (style) {
    case NavButtonStyle::First:
        ds.first();
        break;
    case NavButtonStyle::PriorPage:
        ds.moveBy(-pageStep);
        break;
    case NavButtonStyle::Prior:
        ds.prior();
        break;
    case NavButtonStyle::Next:
        ds.next();
        break;
    case NavButtonStyle::NextPage:
        ds.moveBy(pageStep);
        break;
    case NavButtonStyle::Last:
        ds.last();
        break;
    case NavButtonStyle::Insert:
        ds.insert();
        break;
    case NavButtonStyle::Delete: {
        Confirmations& boxes = confirmations_ ? *confirmations_ : defaultConfirmations();
        if (boxes.confirm(QStringLiteral("Delete record?"), ConfirmButtons::OkCancel))
            ds.deleteRecord();
        break;
    }
    case NavButtonStyle::Edit:
        ds.edit();
        break;
    case NavButtonStyle::Post:
        ds.post();
        break;
    case NavButtonStyle::Cancel:
        ds.cancel();
        break;
    case NavButtonStyle::Refresh:
        ds.refresh();
        break;
    case NavButtonStyle::SaveBookmark:
        bookmarkSet_ = &ds;
        bookmark_ = ds.bookmark();
        break;
    case NavButtonStyle::RestoreBookmark:
        restoreBookmark();
        break;
    case NavButtonStyle::FilterDialog:
        showDialog(NavDialog::Filter);
        break;
    case NavButtonStyle::RecordViewDialog:
        showDialog(NavDialog::RecordView);
        break;
    case NavButtonStyle::LocateDialog:
        showDialog(NavDialog::Locate);
        break;
    case NavButtonStyle::SearchDialog:
        showDialog(NavDialog::Search);
        break;
    }
}

void TwwDBNavigator::restoreBookmark() {
    data::TCustomADODataSet& ds = *dataSet();
    // A pending change is settled as before any move; its failure is reported like theirs.
    ds.checkBrowseMode();
    try {
        if (!hasBookmark()) throw std::runtime_error("no bookmark");
        ds.gotoBookmark(bookmark_);
    } catch (const std::exception&) {
        // A bookmark that leads nowhere is forgotten without a word.
        bookmarkSet_ = nullptr;
        bookmark_ = {};
    }
}

void TwwDBNavigator::showDialog(NavDialog kind) {
    data::TCustomADODataSet* ds = dataSet();
    QPointer<QDialog>& kept = dialogs_[{kind, ds}];
    if (!kept) {
        QDialog* made = dialogFactory_ ? dialogFactory_(kind, *this) : makeNavDialog(kind, *this);
        if (!made && kind == NavDialog::Search) made = new SearchDialog(*ds, this);
        kept = made;
    }
    if (kept) static_cast<void>(kept->exec());
}

void TwwDBNavigator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutButtons();
}

bool TwwDBNavigator::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
        layoutButtons();
    return QWidget::eventFilter(watched, event);
}

void TwwDBNavigator::layoutButtons() {
    std::vector<TwwNavButton*> shown;
    for (TwwNavButton* button : buttons_)
        if (!button->isHidden()) shown.push_back(button);
    const QRect area = contentsRect();
    const std::vector<int> widths = navButtonWidths(area.width(), static_cast<int>(shown.size()));
    int x = area.left();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        shown[i]->setGeometry(x, area.top(), widths[i], area.height());
        x += widths[i];
    }
}

} // namespace controls
