#include "app/PageChangeWatcher.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>

namespace app {

PageChangeWatcher::ProgramChange::ProgramChange(PageChangeWatcher& watcher) : watcher_(watcher) {
    ++watcher_.programChanges_;
}

PageChangeWatcher::ProgramChange::~ProgramChange() {
    --watcher_.programChanges_;
}

PageChangeWatcher::PageChangeWatcher(QTabWidget& book) : book_(book) {
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { focusMoved(now); });
    connect(&book_, &QTabWidget::currentChanged, this, [this] { currentChanged(); });
    book_.installEventFilter(this);
    book_.tabBar()->installEventFilter(this);
}

bool PageChangeWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &book_ && event->type() == QEvent::KeyPress) {
        // Qt's own Ctrl+Tab would also land on hidden pages, so the page control's keyboard
        // paging is done here.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && key->modifiers().testFlag(Qt::ControlModifier)) {
            const bool back =
                key->key() == Qt::Key_Backtab || key->modifiers().testFlag(Qt::ShiftModifier);
            stepPage(back ? -1 : 1);
            return true;
        }
    }
    // The tabs do not turn under the mouse wheel.
    if (watched == book_.tabBar() && event->type() == QEvent::Wheel) return true;
    return QObject::eventFilter(watched, event);
}

void PageChangeWatcher::stepPage(int direction) {
    const int count = book_.count();
    const int current = book_.currentIndex();
    for (int step = 1; step < count; ++step) {
        const int index = ((current + direction * step) % count + count) % count;
        if (book_.isTabVisible(index) && book_.isTabEnabled(index)) {
            book_.setCurrentIndex(index);
            return;
        }
    }
}

void PageChangeWatcher::focusMoved(QWidget* now) {
    // Focus going to another window (a modal box, another application) leaves no page.
    if (!now || now->window() != book_.window()) return;
    QWidget* left = pageOf(lastFocus_);
    lastFocus_ = now;
    if (left && left != pageOf(now) && programChanges_ == 0 && pageExited) pageExited(left);
}

void PageChangeWatcher::currentChanged() {
    if (programChanges_ == 0 && userChangedPage) userChangedPage();
}

QWidget* PageChangeWatcher::pageOf(const QWidget* widget) const {
    if (!widget) return nullptr;
    for (int index = 0; index < book_.count(); ++index) {
        QWidget* page = book_.widget(index);
        if (page == widget || page->isAncestorOf(widget)) return page;
    }
    return nullptr;
}

} // namespace app
