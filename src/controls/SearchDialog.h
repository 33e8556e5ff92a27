#pragma once
// The search dialog: search characters above a grid of the data set's own records. 200 ms
// after the last key, the first record whose first field begins with the typed text (any
// case) becomes current; the grid moves the same data set. OK (or a double click in the grid)
// keeps the record found; Cancel goes back to the record current when the dialog opened.
// moc stops at the standard library's <compare>, which it need not read.
#ifndef Q_MOC_RUN
#include "data/TBookmark.h"
#include "data/TDataSource.h"
#endif

#include <QDialog>
#include <QTimer>

#include <memory>

class QLineEdit;

namespace Ui {
class SearchDialog;
}

namespace controls {

class TwwDBGrid;

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    SearchDialog(data::TCustomADODataSet& dataSet, QWidget* parent = nullptr);
    ~SearchDialog() override;

    static constexpr int searchDelay = 200;

    QLineEdit& searchField() const;
    TwwDBGrid& grid() const;
    // The search the timer runs after the last key.
    void searchNow();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::SearchDialog> ui_;
    data::TCustomADODataSet& dataSet_;
    data::TDataSource source_{"SearchSource"};
    QTimer delay_;
    data::TBookmark start_;
};

} // namespace controls
