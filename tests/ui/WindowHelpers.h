#pragma once
// Helpers the window tests share: building the window with scripted prompts, finding its
// controls by name, and reading texts the way they appear on screen.
#include "ScriptedPrompts.h"
#include "app/TForm1.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTabWidget>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace test {

// The main window with scripted prompts; the prompts stay reachable through `prompts`.
struct Window {
    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<app::TForm1> form;

    Window() {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        form = std::make_unique<app::TForm1>(std::move(scripted));
    }
};

// The tabs a successful Open shows, in the order it shows them.
inline void showWorkingPages(app::TForm1& form) {
    using window::Page;
    form.showPages({Page::ExecuteSql, Page::QueryBuilder, Page::TableCreator, Page::TableBrowser});
}

// The window's page notices, passed on to functions a test may replace as it goes; nothing is
// passed on once this is gone.
struct PageNotices {
    std::function<void()> changed;
    std::function<void(window::Page)> exited;

    explicit PageNotices(app::TForm1& form) {
        window::Workspace& workspace = form.workspace();
        QObject::connect(&workspace, &window::Workspace::pageChanged, &receiver,
                         [this](window::Page) {
                             if (changed) changed();
                         });
        QObject::connect(&workspace, &window::Workspace::pageExited, &receiver,
                         [this](window::Page page) {
                             if (exited) exited(page);
                         });
    }

private:
    QObject receiver;
};

template <typename T> T& child(const QObject& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (!found) throw std::runtime_error(std::string("no control named ") + name);
    return *found;
}

// A caption as drawn: "&&" shows one ampersand, a single "&" only underlines the next letter.
inline QString shownText(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        shown += caption[i];
    }
    return shown;
}

// The captions of the visible tabs, in the order the tab bar shows them.
inline QStringList shownTabs(const QTabWidget& book) {
    QStringList tabs;
    for (int index = 0; index < book.count(); ++index)
        if (book.isTabVisible(index)) tabs << shownText(book.tabText(index));
    return tabs;
}

inline void useApplicationTitle() {
    QCoreApplication::setApplicationName(QStringLiteral("Tablory"));
}

} // namespace test
