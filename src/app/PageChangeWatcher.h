#pragma once
// Watches the page control: tells the user's changes of the current page from the program's
// own, and notices when the focus leaves a page for another control of the window.
#include <QObject>
#include <QPointer>

#include <functional>

class QTabWidget;
class QWidget;

namespace app {

class PageChangeWatcher : public QObject {
    Q_OBJECT
public:
    explicit PageChangeWatcher(QTabWidget& book);

    // While one of these lives, page changes are the program's: no callback runs for them.
    class ProgramChange {
    public:
        explicit ProgramChange(PageChangeWatcher& watcher);
        ~ProgramChange();
        ProgramChange(const ProgramChange&) = delete;
        ProgramChange& operator=(const ProgramChange&) = delete;

    private:
        PageChangeWatcher& watcher_;
    };

    // The focus moved from a control of the page to a control of the window outside it. For a
    // change of page by the user this runs before userChangedPage.
    std::function<void(QWidget* page)> pageExited;
    // The user made another page current; it already is when this runs.
    std::function<void()> userChangedPage;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusMoved(QWidget* now);
    void currentChanged();
    // Ctrl+Tab and Ctrl+Shift+Tab: the next shown page in page order, wrapping around.
    void stepPage(int direction);
    QWidget* pageOf(const QWidget* widget) const;

    QTabWidget& book_;
    // The last control of the window that had the focus; a change of page first clears the
    // focus and then gives it to the new page, so the page being left is remembered here.
    QPointer<QWidget> lastFocus_;
    int programChanges_ = 0;
};

} // namespace app
