#pragma once
// The record navigator: eighteen buttons that move through, change and search its data
// source's data set. Buttons are enabled by the data set's state; the visible ones share the
// navigator's width. Four buttons open dialogs made on first use and kept: the search dialog
// is the navigator's own, the filter, locate and record view dialogs come from makeNavDialog
// unless a factory is given (tests give one).
#include "controls/ControlErrors.h"
#include "controls/NavButtonStyle.h"
// moc stops at the standard library's <compare>, which it need not read.
#ifndef Q_MOC_RUN
#include "data/TBookmark.h"
#endif
#include "data/TDataLink.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <utility>

class QDialog;

namespace controls {

class Confirmations;
class TwwNavButton;

enum class NavDialog { Filter, RecordView, Locate, Search };

class TwwDBNavigator : public QWidget, private data::TDataLink {
    Q_OBJECT
public:
    // Makes the dialog of a kind for the navigator; nullptr when there is none.
    using DialogFactory = std::function<QDialog*(NavDialog, TwwDBNavigator&)>;

    explicit TwwDBNavigator(QWidget* parent = nullptr);
    ~TwwDBNavigator() override;

    using data::TDataLink::dataSet;
    using data::TDataLink::dataSource;
    void setDataSource(data::TDataSource* source);
    // The source is enabled and its data set open.
    bool isActive() const { return data::TDataLink::active(); }

    TwwNavButton& button(NavButtonStyle style) const;
    // Gives the buttons the window's names, in button order.
    void setButtonNames(const std::array<QString, navButtonCount>& names);
    // "nav" + "First", ... : the names of the browser's navigator.
    static std::array<QString, navButtonCount> styleNames(const QString& prefix);
    // prefix + "1" ... prefix + "18".
    static std::array<QString, navButtonCount> numberedNames(const QString& prefix);

    void setConfirmations(Confirmations* confirmations) { confirmations_ = confirmations; }
    void setErrorDisplay(ErrorDisplay display) { errors_ = std::move(display); }
    const ErrorDisplay& errorDisplay() const { return errors_; }
    void setDialogFactory(DialogFactory factory) { dialogFactory_ = std::move(factory); }
    // The dialog of a kind made for the current data set so far; nullptr before first use.
    QDialog* dialog(NavDialog kind) const;

    // Moves of the page buttons.
    static constexpr int pageStep = 10;

    // What a click on the button does; errors go to the error display.
    void click(NavButtonStyle style);
    // Brings the enabled states up to date.
    void updateButtons();
    bool hasBookmark() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // TDataLink
    void activeChanged() override;
    void editingChanged() override { updateButtons(); }
    void dataSetChanged() override { updateButtons(); }
    void dataSetScrolled(int /*distance*/) override { updateButtons(); }
    void layoutChanged() override { updateButtons(); }

    void act(NavButtonStyle style);
    void restoreBookmark();
    void showDialog(NavDialog kind);
    void layoutButtons();

    std::array<TwwNavButton*, navButtonCount> buttons_{};
    Confirmations* confirmations_ = nullptr;
    ErrorDisplay errors_;
    DialogFactory dialogFactory_;
    data::TCustomADODataSet* bookmarkSet_ = nullptr;
    data::TBookmark bookmark_;
    std::map<std::pair<NavDialog, const data::TCustomADODataSet*>, QPointer<QDialog>> dialogs_;
};

} // namespace controls
