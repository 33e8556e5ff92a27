#pragma once
// The table selector dbtabs: an editable combo box that completes typed text from its list
// (first entry that begins with it, any case; the completed part selected). Every change the
// user makes (typing, a completion, picking from the list, even the same name again) is
// reported once; text set by the program is not.
#include <QObject>

class QComboBox;

namespace browser {

class TableSelector : public QObject {
    Q_OBJECT
public:
    explicit TableSelector(QComboBox& combo);

signals:
    void userChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void edited(const QString& text);

    QComboBox& combo_;
    bool deleting_ = false;
    bool losingFocus_ = false;
};

} // namespace browser
