#pragma once
// An editable combo box that completes typed text from its list (first entry that begins with
// it, any case; the completed part selected), as the browser's dbtabs and the Query Builder's
// pickers do. Every change the user makes (typing, a completion, picking from the list, even
// the same name again) is reported once; text set by the program is not.
#include <QObject>

class QComboBox;

namespace controls {

class ComboCompletion : public QObject {
    Q_OBJECT
public:
    explicit ComboCompletion(QComboBox& combo);

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

} // namespace controls
