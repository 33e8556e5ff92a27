#pragma once
// The locate dialog's window, "Locate Field Value": a search value, the match kind and case,
// the field, and First and Next. Made for one opening; the dialog component keeps what the
// user chose between openings.
#include "controls/ControlErrors.h"
#include "controls/LocateSettings.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace Ui {
class TwwLocateDlg;
}

namespace data {
class TCustomADODataSet;
}

namespace controls {

class DialogBoxes;

class TwwLocateDlg : public QDialog {
    Q_OBJECT
public:
    TwwLocateDlg(data::TCustomADODataSet& dataSet, DialogBoxes& boxes, ErrorDisplay errors,
                 QWidget* parent = nullptr);
    ~TwwLocateDlg() override;

    // Fills the field list from the data set and offers the settings of the last opening.
    void load(const LocateSettings& settings);
    // What the window holds now, for the next opening.
    LocateSettings settings() const;

    QLineEdit& searchValue() const;
    QComboBox& fieldNameComboBox() const;
    QPushButton& firstButton() const;
    QPushButton& nextButton() const;
    QPushButton& closeButton() const;

    // The two buttons' searches; a match closes the window (accepted).
    void FindFirst();
    void FindNextBtnClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search(bool first);
    void FieldNameComboBoxChange();
    // The field behind the chosen label: the first whose label is equal; empty for none.
    std::string chosenFieldName() const;

    std::unique_ptr<Ui::TwwLocateDlg> ui_;
    data::TCustomADODataSet& dataSet_;
    DialogBoxes& boxes_;
    ErrorDisplay errors_;
    bool loading_ = false;
    bool enterInList_ = false;
};

} // namespace controls
