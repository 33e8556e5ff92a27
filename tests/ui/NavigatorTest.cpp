// The record navigator on a copy of the order-entry sample: enabled states in every state of
// the data set, page steps, delete confirmation, bookmarks, the sizing rule, the move buttons'
// repeat, errors of actions, and the search dialog made once and kept.
#include "ControlsFixture.h"
#include "controls/NavButtonSizing.h"
#include "controls/SearchDialog.h"
#include "data/TCustomADODataSet.h"

#include <QApplication>
#include <QTimer>

using controls::NavButtonStyle;
using controls::TwwNavButton;
using test::ControlsFixture;

namespace {

// The enabled buttons, one letter each in button order: "1" on, "0" off.
QString enabledStates(const controls::TwwDBNavigator& nav) {
    QString states;
    for (NavButtonStyle style : controls::allNavButtonStyles())
        states += nav.button(style).isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return states;
}

std::vector<int> shownWidths(const controls::TwwDBNavigator& nav) {
    std::vector<int> widths;
    for (NavButtonStyle style : controls::allNavButtonStyles()) {
        const TwwNavButton& button = nav.button(style);
        if (button.isHidden()) continue;
        widths.push_back(button.width());
        if (button.height() != nav.height()) return {};
    }
    return widths;
}

} // namespace

class NavigatorTest : public QObject {
    Q_OBJECT

private slots:
    void enabledStatesFollowTheDataSet() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        //                 first..last  ins del edit post cancel refresh save restore dialogs
        QCOMPARE(enabledStates(*f.nav), QStringLiteral("000000"
                                                       "000000"
                                                       "000000"));
        f.open("select * from [Shippers]");
        QCOMPARE(enabledStates(*f.nav), QStringLiteral("000111"
                                                       "111001"
                                                       "101111"));
        f.query.next();
        QCOMPARE(enabledStates(*f.nav), QStringLiteral("111111"
                                                       "111001"
                                                       "101111"));
        f.query.last();
        QCOMPARE(enabledStates(*f.nav), QStringLiteral("111000"
                                                       "111001"
                                                       "101111"));
        f.query.edit();
        QCOMPARE(enabledStates(*f.nav), QStringLiteral("111000"
                                                       "110111"
                                                       "101111"));
        f.query.cancel();
        f.press(NavButtonStyle::SaveBookmark);
        QCOMPARE(enabledStates(*f.nav), QStringLiteral("111000"
                                                       "111001"
                                                       "111111"));
        // A disabled source disables every button, whatever the query does.
        f.source.setEnabled(false);
        QCOMPARE(enabledStates(*f.nav), QStringLiteral("000000"
                                                       "000000"
                                                       "000000"));
        f.source.setEnabled(true);
        // A result that cannot be changed: no changing buttons, refresh neither.
        f.open("select count(*) as N from [Shippers]");
        QCOMPARE(enabledStates(*f.nav), QStringLiteral("000000"
                                                       "000000"
                                                       "101111"));
        // An empty table: nothing to move to or delete; edit inserts.
        f.open("select * from [Shippers] where ShipperID < 0");
        QCOMPARE(enabledStates(*f.nav), QStringLiteral("000000"
                                                       "101001"
                                                       "101111"));
        f.press(NavButtonStyle::Edit);
        QCOMPARE(f.query.state(), data::DataSetState::Insert);
    }

    void pageButtonsMoveTenRecordsAndStopAtTheEnds() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Orders]");
        f.press(NavButtonStyle::NextPage);
        QCOMPARE(f.query.recNo(), 11);
        f.press(NavButtonStyle::Last);
        QCOMPARE(f.query.recNo(), 830);
        f.query.moveBy(-5);
        f.press(NavButtonStyle::NextPage);
        QCOMPARE(f.query.recNo(), 830);
        f.press(NavButtonStyle::First);
        f.press(NavButtonStyle::Next);
        f.press(NavButtonStyle::Next);
        f.press(NavButtonStyle::PriorPage);
        QCOMPARE(f.query.recNo(), 1);
        QCOMPARE(f.grid->currentIndex().row(), 0);
    }

    void deleteAsksAndADiscardedInsertTouchesNoRow() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Order Details]");
        const int before = f.count("Order Details");
        f.confirmations.answers = {false, true, true};
        f.press(NavButtonStyle::Delete);
        QCOMPARE(f.count("Order Details"), before);
        f.press(NavButtonStyle::Delete);
        QCOMPARE(f.count("Order Details"), before - 1);
        f.press(NavButtonStyle::Insert);
        QCOMPARE(f.query.state(), data::DataSetState::Insert);
        f.press(NavButtonStyle::Delete);
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
        QCOMPARE(f.count("Order Details"), before - 1);
        QCOMPARE(f.confirmations.asked.size(), std::size_t(3));
        for (const auto& asked : f.confirmations.asked)
            QCOMPARE(asked.text, QStringLiteral("Delete record?"));
    }

    void aFailingPostIsShownAndKeepsTheInsertState() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Order Details]");
        const std::string order = f.query.field(0).asString();
        const std::string product = f.query.field(1).asString();
        f.press(NavButtonStyle::Insert);
        f.query.field(0).setAsString(order);
        f.query.field(1).setAsString(product);
        f.press(NavButtonStyle::Post);
        QCOMPARE(f.errors.size(), 1);
        QCOMPARE(f.query.state(), data::DataSetState::Insert);
        f.press(NavButtonStyle::Cancel);
        QCOMPARE(f.query.state(), data::DataSetState::Browse);
    }

    void aBookmarkLivesUntilItsDataSetCloses() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Orders]");
        f.query.moveBy(4);
        f.press(NavButtonStyle::SaveBookmark);
        f.press(NavButtonStyle::Last);
        f.press(NavButtonStyle::RestoreBookmark);
        QCOMPARE(f.query.recNo(), 5);
        QVERIFY(f.nav->hasBookmark());
        // Another table and back: the bookmark is gone.
        f.open("select * from [Shippers]");
        f.open("select * from [Orders]");
        QVERIFY(!f.nav->hasBookmark());
        QVERIFY(!f.nav->button(NavButtonStyle::RestoreBookmark).isEnabled());
    }

    void visibleButtonsShareTheWidth() {
        QCOMPARE(controls::navButtonWidths(558, 18), std::vector<int>(18, 31));
        std::vector<int> view(12, 43);
        view.push_back(42);
        QCOMPARE(controls::navButtonWidths(558, 13), view);
        QCOMPARE(controls::navButtonWidths(10, 3), (std::vector<int>{4, 3, 3}));

        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        QCOMPARE(shownWidths(*f.nav), std::vector<int>(18, 31));
        for (NavButtonStyle style :
             {NavButtonStyle::Insert, NavButtonStyle::Delete, NavButtonStyle::Edit,
              NavButtonStyle::Post, NavButtonStyle::RecordViewDialog})
            f.nav->button(style).hide();
        QCOMPARE(shownWidths(*f.nav), view);
        f.nav->button(NavButtonStyle::Insert).show();
        QCOMPARE(shownWidths(*f.nav).size(), std::size_t(14));
    }

    void onlyTheSixMoveButtonsRepeat() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        for (NavButtonStyle style : controls::allNavButtonStyles()) {
            const TwwNavButton& button = f.nav->button(style);
            const bool moves = static_cast<int>(style) <= static_cast<int>(NavButtonStyle::Last);
            QCOMPARE(button.autoRepeat(), moves);
            if (!moves) continue;
            QCOMPARE(button.autoRepeatDelay(), 500);
            QCOMPARE(button.autoRepeatInterval(), 100);
        }
        // Held down, Next moves more than once; released, once more as a click.
        f.open("select * from [Orders]");
        TwwNavButton& next = f.nav->button(NavButtonStyle::Next);
        QTest::mousePress(&next, Qt::LeftButton);
        QTest::qWait(900);
        QTest::mouseRelease(&next, Qt::LeftButton);
        QVERIFY2(f.query.recNo() >= 3, qPrintable(QString::number(f.query.recNo())));
        // The buttons take no focus: a click leaves it where it was.
        QVERIFY(next.focusPolicy() == Qt::NoFocus);
    }

    void theSearchDialogFindsByTheFirstFieldAndIsKept() {
        ControlsFixture f;
        REQUIRE_CONTROLS_FIXTURE(f);
        f.open("select * from [Customers]");
        // The first customer, in table order, whose ID begins with "bo" in any case.
        int expected = 0;
        for (int row = 0; f.query.hasRecord(static_cast<std::size_t>(row)); ++row) {
            const QString id =
                f.query.valueAt(static_cast<std::size_t>(row), 0).get<std::string>().c_str();
            if (id.startsWith(QStringLiteral("BO"), Qt::CaseInsensitive)) {
                expected = row + 1;
                break;
            }
        }
        QVERIFY(expected > 1);
        controls::SearchDialog* shown = nullptr;
        int foundAt = 0;
        QTimer::singleShot(0, [&] {
            shown = qobject_cast<controls::SearchDialog*>(QApplication::activeModalWidget());
            if (!shown) return;
            QTest::keyClicks(&shown->searchField(), "bo");
            shown->searchNow();
            foundAt = f.query.recNo();
            shown->reject();
        });
        f.press(NavButtonStyle::SearchDialog);
        QVERIFY(shown);
        QCOMPARE(foundAt, expected);
        // Cancel goes back to where the search began.
        QCOMPARE(f.query.recNo(), 1);
        QCOMPARE(shown->searchField().toolTip(),
                 QStringLiteral("Enter characters for incremental search"));

        // The same dialog again; OK keeps the record found, and an empty field goes to the
        // first record.
        controls::SearchDialog* again = nullptr;
        QTimer::singleShot(0, [&] {
            again = qobject_cast<controls::SearchDialog*>(QApplication::activeModalWidget());
            if (!again) return;
            again->searchNow();
            QTest::keyClick(&again->searchField(), Qt::Key_Return);
        });
        f.press(NavButtonStyle::SearchDialog);
        QCOMPARE(again, shown);
        QCOMPARE(f.query.recNo(), expected);
    }
};

QTEST_MAIN(NavigatorTest)
#include "NavigatorTest.moc"
