// The main window as it starts: its properties, the Database page's layout and the tabs.
#include "WindowHelpers.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>

using test::child;
using test::shownTabs;
using test::Window;

namespace {

const QColor skyBlue(166, 202, 240);

QColor pixelAt(QWidget& widget, QPoint point) {
    return widget.grab().toImage().pixelColor(point);
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useApplicationTitle(); }

    void init() {
        window_ = std::make_unique<Window>();
        window_->form->show();
        QVERIFY(QTest::qWaitForWindowActive(window_->form.get()));
    }
    void cleanup() { window_.reset(); }

    void windowProperties() {
        app::TForm1& form = *window_->form;
        QCOMPARE(form.objectName(), QStringLiteral("Form1"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Tablory - Access Database Creator"));
        QCOMPARE(form.size(), QSize(573, 528));
        QCOMPARE(form.minimumSize(), QSize(573, 528));
        QCOMPARE(form.maximumSize(), QSize(573, 528));
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QCOMPARE(form.palette().color(QPalette::Window), form.palette().color(QPalette::Button));
    }

    void centredOnTheScreenWhenFirstShown() {
        app::TForm1& form = *window_->form;
        const QPoint screenCentre = form.screen()->availableGeometry().center();
        QVERIFY2((form.frameGeometry().center() - screenCentre).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("window at %1,%2")
                                .arg(form.frameGeometry().x())
                                .arg(form.frameGeometry().y())));
    }

    void startsWithOnlyTheDatabaseTabShownAndCurrent() {
        auto& book = child<QTabWidget>(*window_->form, "Book");
        QCOMPARE(shownTabs(book), QStringList{QStringLiteral("Database")});
        QCOMPARE(book.currentWidget(), &child<QWidget>(book, "TabSheet3"));
        QCOMPARE(child<QLineEdit>(book, "dbname").text(),
                 QDir::toNativeSeparators(QDir::homePath() + "/file_path/database_name.mdb"));
        QCOMPARE(child<QLineEdit>(book, "dbpass").text(), QString());
        QCOMPARE(child<QLineEdit>(book, "dbpass").echoMode(), QLineEdit::Normal);
        QVERIFY(child<QLineEdit>(book, "dbpass").inputMask().isEmpty());
    }

    void pagesInPageOrder() {
        auto& book = child<QTabWidget>(*window_->form, "Book");
        QCOMPARE(book.count(), 5);
        const char* pages[] = {"TabSheet3", "TabSheet1", "TabSheet2", "tsQB", "TabSheet4"};
        const QString captions[] = {"Database", "Table Creator", "Table Browser && Editor",
                                    "Query Builder", "Execute SQL "};
        for (int index = 0; index < 5; ++index) {
            QCOMPARE(book.widget(index)->objectName(), QString::fromLatin1(pages[index]));
            QCOMPARE(book.tabText(index), captions[index]);
        }
    }

    void showTabsKeepsPageOrder_data() {
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("Open shows 4, 3, 1, 2") << QList<int>{4, 3, 1, 2};
        QTest::newRow("Create New shows 3, 4, 1, 2") << QList<int>{3, 4, 1, 2};
    }
    void showTabsKeepsPageOrder() {
        QFETCH(QList<int>, order);
        app::TForm1& form = *window_->form;
        int bookChanges = 0;
        test::PageNotices notices(form);
        notices.changed = [&] { ++bookChanges; };
        for (int page : order) form.showPages({static_cast<window::Page>(page)});

        auto& book = child<QTabWidget>(form, "Book");
        const QStringList expected{"Database", "Table Creator", "Table Browser & Editor",
                                   "Query Builder", "Execute SQL "};
        QCOMPARE(shownTabs(book), expected);
        // Tab buttons stand left to right in page order.
        QTabBar& tabs = *book.tabBar();
        for (int index = 1; index < 5; ++index)
            QVERIFY(tabs.tabRect(index - 1).right() < tabs.tabRect(index).left());
        QCOMPARE(book.currentWidget(), &child<QWidget>(book, "TabSheet3"));
        QCOMPARE(bookChanges, 0);

        // Showing shown tabs again changes nothing.
        test::showWorkingPages(form);
        QCOMPARE(shownTabs(book), expected);
        QCOMPARE(book.currentIndex(), 0);
        QCOMPARE(bookChanges, 0);
    }

    void bannerLabel() {
        auto& banner = child<QLabel>(*window_->form, "fcLabel1");
        QCOMPARE(banner.geometry(), QRect(0, 0, 572, 25));
        QCOMPARE(banner.text(), QStringLiteral("Tablory"));
        QCOMPARE(banner.alignment(), Qt::AlignHCenter | Qt::AlignTop);
        QVERIFY(banner.wordWrap());
        banner.ensurePolished();
        QCOMPARE(banner.font().family(), QStringLiteral("Africaans SF"));
        QCOMPARE(banner.font().pixelSize(), 21);
        QVERIFY(!banner.font().bold());

        const QImage picture = banner.grab().toImage();
        QCOMPARE(picture.pixelColor(2, 2), QColor(Qt::black));
        int redPixels = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QColor colour = picture.pixelColor(x, y);
                if (colour.red() > 200 && colour.green() < 60 && colour.blue() < 60) ++redPixels;
            }
        QVERIFY2(redPixels > 20, "the caption is drawn in red");
    }

    void databasePageLayout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("GroupBox4") << "GroupBox4" << QRect(2, 0, 303, 67);
        QTest::newRow("dbname") << "dbname" << QRect(3, 14, 294, 21);
        QTest::newRow("dbpass") << "dbpass" << QRect(80, 40, 217, 21);
        QTest::newRow("btnO") << "btnO" << QRect(407, 1, 148, 75);
        QTest::newRow("N") << "N" << QRect(408, 81, 148, 75);
        QTest::newRow("Button7") << "Button7" << QRect(407, 162, 148, 75);
        QTest::newRow("BitBtn1") << "BitBtn1" << QRect(443, 400, 117, 65);
        QTest::newRow("Label3") << "Label3" << QRect(445, 379, 112, 18);
        QTest::newRow("fcImager1") << "fcImager1" << QRect(4, 368, 433, 100);
        QTest::newRow("Image1") << "Image1" << QRect(88, 16, 215, 49);
    }
    void databasePageLayout() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        auto& page = child<QWidget>(*window_->form, "TabSheet3");
        auto& control = child<QWidget>(page, name.toLatin1().constData());
        QCOMPARE(control.geometry(), geometry);
        // Nothing is cut off by the page or the box it sits in.
        QVERIFY2(control.parentWidget()->rect().contains(control.geometry()),
                 qPrintable(QStringLiteral("page is %1 x %2")
                                .arg(control.parentWidget()->width())
                                .arg(control.parentWidget()->height())));
    }

    void databasePageCaptionsAndHints() {
        auto& page = child<QWidget>(*window_->form, "TabSheet3");
        QCOMPARE(child<QGroupBox>(page, "GroupBox4").title(),
                 QStringLiteral("1.Create New/Open Access Database"));
        QCOMPARE(child<QLabel>(page, "Label4").text(), QStringLiteral("Password"));
        QCOMPARE(child<QLabel>(page, "Label4").parentWidget()->objectName(),
                 QStringLiteral("GroupBox4"));
        QCOMPARE(child<QPushButton>(page, "btnO").text(), QStringLiteral("Open"));
        QCOMPARE(child<QPushButton>(page, "N").text(), QStringLiteral("Create New"));
        QCOMPARE(child<QPushButton>(page, "Button7").text(), QStringLiteral("Compact Database"));
        QCOMPARE(child<QPushButton>(page, "BitBtn1").text(), QStringLiteral("&Close"));
        QVERIFY(!child<QPushButton>(page, "BitBtn1").icon().isNull());
        auto& version = child<QLabel>(page, "Label3");
        QCOMPARE(version.text(), QStringLiteral("Version " TABLORY_VERSION));
        QVERIFY(version.font().bold());
        QVERIFY(version.wordWrap());
        QVERIFY(version.alignment().testFlag(Qt::AlignHCenter));
        QVERIFY(!version.text().isEmpty());

        // Hints are kept with their controls but never shown.
        QCOMPARE(child<QWidget>(page, "dbpass").property("hint").toString(),
                 QStringLiteral("If Database is passworded enter it before clicking open button"));
        QCOMPARE(child<QWidget>(page, "btnO").property("hint").toString(),
                 QStringLiteral("Open existing"));
        QCOMPARE(child<QWidget>(page, "N").property("hint").toString(),
                 QStringLiteral("Create New"));
        for (const QWidget* control : page.findChildren<QWidget*>())
            QVERIFY2(control->toolTip().isEmpty(), qPrintable(control->objectName()));
    }

    void inputBoxesAreSkyBlue() {
        for (const char* name : {"dbname", "dbpass"}) {
            auto& box = child<QLineEdit>(*window_->form, name);
            QCOMPARE(box.palette().color(QPalette::Active, QPalette::Base), skyBlue);
            QCOMPARE(box.palette().color(QPalette::Inactive, QPalette::Base), skyBlue);
            // Right end of the box, clear of the text and the frame.
            QCOMPARE(pixelAt(box, QPoint(box.width() - 6, box.height() / 2)), skyBlue);
        }
    }

    void logos() {
        auto& picture = child<QLabel>(*window_->form, "fcImager1");
        QCOMPARE(picture.pixmap().size(), QSize(429, 97));
        QCOMPARE(picture.alignment(), Qt::AlignLeft | Qt::AlignTop);
        // The logo's dark blue corner, drawn at the box's top-left.
        const QColor corner = pixelAt(picture, QPoint(1, 1));
        QVERIFY2(corner.blue() > corner.red() + 20 && corner.value() < 110,
                 qPrintable(corner.name()));

        auto& bitmap = child<QLabel>(*window_->form, "Image1");
        QCOMPARE(bitmap.pixmap().size(), QSize(215, 49));
        const QImage file(QStringLiteral(":/logos/logo256.bmp"));
        QCOMPARE(file.format(), QImage::Format_Indexed8);
        QVERIFY(file.colorCount() <= 256);
    }

    void groupBoxCoversTheBitmap() {
        auto& page = child<QWidget>(*window_->form, "TabSheet3");
        auto& bitmap = child<QLabel>(page, "Image1");
        const QImage withBitmap = page.grab().toImage();
        bitmap.hide();
        const QImage withoutBitmap = page.grab().toImage();
        bitmap.show();
        QCOMPARE(withBitmap, withoutBitmap);
    }

    void tabOrderOfTheDatabasePage() {
        app::TForm1& form = *window_->form;
        auto& first = child<QWidget>(form, "dbname");
        QStringList order;
        QWidget* widget = &first;
        for (int i = 0; i < 6; ++i) {
            order << widget->objectName();
            do widget = widget->nextInFocusChain();
            while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisible());
        }
        QCOMPARE(order, (QStringList{"dbname", "dbpass", "btnO", "N", "Button7", "BitBtn1"}));
    }

    void closeButtonClosesTheWindowWithoutAsking() {
        app::TForm1& form = *window_->form;
        QTest::mouseClick(&child<QPushButton>(form, "BitBtn1"), Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QVERIFY(window_->prompts->shown.empty());
    }

private:
    std::unique_ptr<Window> window_;
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
