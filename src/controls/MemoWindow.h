#pragma once
// The memo window: a memo field's whole text in a sizeable, word-wrapping text area, titled
// with the column's title. Read-only (Cancel hidden, OK only closes) when the grid or the field
// is; otherwise OK hands the text back for the field.
#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class MemoWindow;
}

namespace controls {

class MemoWindow : public QDialog {
    Q_OBJECT
public:
    explicit MemoWindow(QWidget* parent = nullptr);
    ~MemoWindow() override;

    void setReadOnly(bool readOnly);
    bool readOnly() const { return readOnly_; }
    // The field's text, lines separated by CR LF as the file stores them.
    void setFieldText(const std::string& text);
    std::string fieldText() const;

private:
    std::unique_ptr<Ui::MemoWindow> ui_;
    bool readOnly_ = false;
};

} // namespace controls
