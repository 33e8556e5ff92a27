#pragma once
// The record view's window, "Record View": the current record as a form of labelled
// controls, one row per field, under a navigator of its own on the same data source, with OK
// (post) and Cancel (asks before changes are thrown away). Built for one opening.
#include "controls/ControlErrors.h"
#include "data/TDataLink.h"

#include <QDialog>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;

namespace Ui {
class TwwRecordViewForm;
}

namespace controls {

class DialogBoxes;
class RecordFieldEditor;
class TwwDBNavigator;

class TwwRecordViewForm : public QDialog, private data::TDataLink {
    Q_OBJECT
public:
    TwwRecordViewForm(data::TDataSource& source, DialogBoxes& boxes, ErrorDisplay errors,
                      QWidget* parent = nullptr);
    ~TwwRecordViewForm() override;

    TwwDBNavigator& navigator() const { return *navigator_; }
    QPushButton& okButton() const;
    QPushButton& cancelButton() const;
    QScrollArea& scrollBox() const;
    // The control of a field, by field name; nullptr when there is none.
    RecordFieldEditor* editor(const QString& fieldName) const;
    QLabel* label(const QString& fieldName) const;
    int labelColumnWidth() const { return labelWidth_; }

    // OK: the typing goes into the record, which is posted when changed; the window closes
    // unless the post fails.
    void OKBtnClick();
    // Cancel, Escape and the close box.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // TDataLink
    void dataSetChanged() override {
        if (!startingEdit_) loadAll();
    }
    void dataSetScrolled(int /*distance*/) override { loadAll(); }
    void recordChanged(const data::TField* field) override;
    void updateData() override { storeAll(); }
    void checkBrowseMode() override { storeAll(); }
    // The fields the rows show are gone with the opening or layout they belonged to.
    void activeChanged() override {
        if (!active()) fieldsGone();
    }
    void layoutChanged() override { fieldsGone(); }
    void fieldsGone();

    void buildRows();
    void layoutRows();
    void sizeWindow();
    void placeButtons();
    void loadAll();
    void storeAll();
    bool anyChanged() const;
    bool startEdit();

    std::unique_ptr<Ui::TwwRecordViewForm> ui_;
    DialogBoxes& boxes_;
    ErrorDisplay errors_;
    TwwDBNavigator* navigator_ = nullptr;
    std::vector<RecordFieldEditor*> editors_;
    std::vector<QLabel*> labels_;
    int labelWidth_ = 0;
    bool startingEdit_ = false;
    bool fieldsGone_ = false;
};

} // namespace controls
