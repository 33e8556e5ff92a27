// Errors escaping a handler reach the error box, with its closing full stop, and the window
// carries on.
#include "WindowHelpers.h"
#include "app/Application.h"

#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <stdexcept>

using test::child;
using test::ScriptedPrompts;
using test::Window;

namespace {

// A widget whose mouse handler fails without any guard of its own.
class FailingWidget : public QWidget {
public:
    QString message;

protected:
    void mousePressEvent(QMouseEvent*) override { throw std::runtime_error(message.toStdString()); }
};

} // namespace

class ErrorDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }

    void init() {
        window_ = std::make_unique<Window>();
        window_->form->show();
        QVERIFY(QTest::qWaitForWindowActive(window_->form.get()));
    }
    void cleanup() { window_.reset(); }

    void runHandlerShowsTheErrorWithAFullStop() {
        app::TForm1& form = *window_->form;
        int carriedOn = 0;
        form.workspace().runHandler([] { throw std::runtime_error("Table 'Orders' not found"); });
        form.workspace().runHandler(
            [] { throw std::runtime_error("Syntax error in FROM clause."); });
        form.workspace().runHandler([] { throw std::runtime_error(""); });
        form.workspace().runHandler([] { throw 42; });
        form.workspace().runHandler([&] { ++carriedOn; });
        QCOMPARE(window_->prompts->texts(ScriptedPrompts::Kind::Error),
                 (std::vector<QString>{"Table 'Orders' not found.", "Syntax error in FROM clause.",
                                       "", "Unknown error."}));
        QCOMPARE(carriedOn, 1);
    }

    void errorInAPageHandlerKeepsWhatTheHandlerDid() {
        app::TForm1& form = *window_->form;
        test::showWorkingPages(form);
        int reached = 0;
        test::PageNotices notices(form);
        notices.changed = [&] {
            ++reached;
            throw std::runtime_error("Operation is not allowed when the object is closed");
        };
        QTabBar& tabs = *child<QTabWidget>(form, "Book").tabBar();
        QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(2).center());
        QCOMPARE(reached, 1);
        QCOMPARE(window_->prompts->texts(ScriptedPrompts::Kind::Error),
                 std::vector<QString>{"Operation is not allowed when the object is closed."});
        QCOMPARE(child<QTabWidget>(form, "Book").currentIndex(), 2);
        QVERIFY(form.isVisible());

        // The next action runs as usual.
        notices.changed = [&] { ++reached; };
        QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(0).center());
        QCOMPARE(reached, 2);
        QCOMPARE(window_->prompts->shown.size(), std::size_t{1});
    }

    void guardedSlotsCatchTheirErrors() {
        app::TForm1& form = *window_->form;
        QPushButton button;
        QObject::connect(&button, &QPushButton::clicked, &form, form.workspace().guarded([] {
            throw std::runtime_error("Cannot open file");
        }));
        button.click();
        QCOMPARE(window_->prompts->texts(ScriptedPrompts::Kind::Error),
                 std::vector<QString>{"Cannot open file."});
    }

    void anErrorEscapingAnEventHandlerIsShownByTheApplication() {
        auto* application = static_cast<app::Application*>(QCoreApplication::instance());
        application->showException = [this](const std::exception& error) {
            window_->form->showException(error);
        };
        FailingWidget failing;
        failing.message = QStringLiteral("Disk or network error");
        failing.resize(50, 50);
        failing.show();
        QTest::mouseClick(&failing, Qt::LeftButton);
        application->showException = nullptr;
        QCOMPARE(window_->prompts->texts(ScriptedPrompts::Kind::Error),
                 std::vector<QString>{"Disk or network error."});
    }

private:
    std::unique_ptr<Window> window_;
};

int main(int argc, char** argv) {
    app::Application application(argc, argv);
    ErrorDisplayTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ErrorDisplayTest.moc"
