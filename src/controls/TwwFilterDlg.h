#pragma once
// The filter dialog's window, built anew at each opening: the data set's fields (all, or only
// those searched) beside the criterion of the selected field, by value or by range. Leaving a
// field checks its input against the field's kind and stores it; input that does not fit
// keeps the focus, without a message.
// moc stops at the standard library's <compare>, which it need not read.
#ifndef Q_MOC_RUN
#include "data/FilterCriteria.h"
#endif

#include <QDialog>

#include <array>
#include <memory>
#include <vector>

class QLineEdit;

namespace Ui {
class TwwFilterDlg;
}

namespace data {
class TCustomADODataSet;
}

namespace controls {

class TwwFilterDlg : public QDialog {
    Q_OBJECT
public:
    TwwFilterDlg(const data::TCustomADODataSet& dataSet,
                 std::vector<data::FilterCriterion> criteria, QWidget* parent = nullptr);
    ~TwwFilterDlg() override;

    Ui::TwwFilterDlg& ui() { return *ui_; }
    // The criteria as the window holds them now.
    const std::vector<data::FilterCriterion>& criteria() const { return criteria_; }
    // The label of the field the criteria column shows.
    QString currentField() const;

    // OK stores the field's input first and stays open when it does not fit.
    void done(int result) override;

    // The window's handlers.
    void FieldsListBoxClick();
    void FieldOrderClick();
    // Whether the list may change to the tab.
    bool FieldTabSetChanging(int tab);
    void ViewButtonClick();
    void ClearSearchButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    // The keys of the field list and of the criteria inputs.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Offered {
        QString label;
        std::string name;
        data::FieldType type;
    };
    enum Tab { AllTab = 0, SearchedTab = 1 };

    void offerFields(const data::TCustomADODataSet& dataSet);
    void connectHandlers();
    // The value, the two bounds and the two date pickers.
    std::array<QLineEdit*, 5> allInputs() const;
    const data::FilterCriterion* criterionOf(const Offered& field) const;
    void fillList(int selectField);
    void loadField(int field);
    // Checks and stores the shown field's input; false (focus on the wrong input) when it does
    // not fit.
    bool storeField();
    void refuse(QWidget* page, QLineEdit& input);
    void removeCriterion(const QString& label);
    void moveSelection(int distance);
    bool isDateField() const;
    QLineEdit& valueInput() const;
    QLineEdit& startInput() const;
    QLineEdit& endInput() const;
    QWidget& firstInput() const;
    void changed();
    void updateButtons();
    void informNoCriteria();

    std::unique_ptr<Ui::TwwFilterDlg> ui_;
    data::LocaleFormats formats_;
    std::vector<Offered> fields_;
    std::vector<data::FilterCriterion> criteria_;
    int current_ = -1; // the field shown, in fields_
    int tab_ = AllTab;
};

} // namespace controls
