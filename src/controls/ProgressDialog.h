#pragma once
// The window's progress box for long work on a database file: modal over the whole
// application, without a way to cancel, fed by the engine's progress reports. While it shows,
// the window keeps painting but takes no input, so no other action can start.
#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class ProgressDialog;
}

namespace controls {

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    // Says what is being done; the bar runs back and forth until the first report.
    ProgressDialog(const QString& text, QWidget* window);
    ~ProgressDialog() override;

    // Shows the box and lets it and the window paint before the work begins.
    void start();
    // Work done out of the whole; the bar moves and the windows repaint.
    void report(std::uint64_t done, std::uint64_t total);

    QString text() const;
    // The bar's position, 0 to barMaximum.
    int position() const;
    static constexpr int barMaximum = 1000;

protected:
    // The work cannot stop half-way, so Esc and the close button do nothing.
    void reject() override {}
    void closeEvent(QCloseEvent* event) override;

private:
    void letWindowsPaint();

    std::unique_ptr<Ui::ProgressDialog> ui_;
};

} // namespace controls
