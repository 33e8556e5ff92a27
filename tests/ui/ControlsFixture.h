#pragma once
// The data-aware controls on a copy of a real Access file: a connection, a query, a data
// source, a grid and a navigator on a shown window, confirmation boxes answered from a script
// and errors written down.
#include "controls/Confirmations.h"
#include "controls/GridModel.h"
#include "controls/TwwDBGrid.h"
#include "controls/TwwDBNavigator.h"
#include "controls/TwwNavButton.h"
#include "data/TADOConnection.h"
#include "data/TADOQuery.h"
#include "data/TDataSource.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace test {

inline QString samplesDir() {
    const QByteArray fromEnvironment = qgetenv("TABLORY_SAMPLES");
    return fromEnvironment.isEmpty() ? QStringLiteral(TABLORY_SAMPLES_DIR)
                                     : QString::fromLocal8Bit(fromEnvironment);
}

// A copy of a sample file in a scratch folder; empty when the samples are not there.
inline QString copySample(const QTemporaryDir& scratch, const QString& sample) {
    const QString source = samplesDir() + QLatin1Char('/') + sample;
    const QString target = scratch.filePath(QFileInfo(sample).fileName());
    if (!QFile::exists(source) || !QFile::copy(source, target)) return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

inline std::string openString(const QString& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path.toStdString() +
           ";Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password=";
}

class ScriptedConfirmations final : public controls::Confirmations {
public:
    struct Asked {
        QString text;
        controls::ConfirmButtons buttons;
    };
    std::deque<bool> answers;
    std::vector<Asked> asked;

    bool confirm(const QString& text, controls::ConfirmButtons buttons) override {
        asked.push_back({text, buttons});
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

inline bool childVisible(const QWidget& parent, const char* name) {
    const QWidget* found = parent.findChild<QWidget*>(QString::fromLatin1(name));
    return found && !found->isHidden();
}

struct ControlsFixture {
    QTemporaryDir scratch;
    QString file;
    data::TADOConnection connection{"ADOConnection1"};
    data::TADOQuery query{"ADOQuery1"};
    data::TDataSource source{"DataSource1"};
    ScriptedConfirmations confirmations;
    QStringList errors;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    controls::TwwDBGrid* grid = new controls::TwwDBGrid(window.get());
    controls::TwwDBNavigator* nav = new controls::TwwDBNavigator(window.get());
    QLineEdit* elsewhere = new QLineEdit(window.get());

    explicit ControlsFixture(
        const QString& sample = QStringLiteral("application/application.mdb")) {
        file = copySample(scratch, sample);
        if (!file.isEmpty()) attach();
    }
    // On a file the test makes in the scratch folder (and returns the path of).
    explicit ControlsFixture(const std::function<QString(const QTemporaryDir&)>& makeFile) {
        file = makeFile(scratch);
        if (!file.isEmpty()) attach();
    }
    void attach() {
        connection.setConnectionString(openString(file));
        connection.setLoginPrompt(false);
        query.setConnection(&connection);
        source.setDataSet(&query);
        window->resize(600, 520);
        grid->setGeometry(0, 30, 564, 407);
        nav->setGeometry(5, 442, 558, 28);
        elsewhere->setGeometry(320, 1, 100, 21);
        grid->setDataSource(&source);
        nav->setDataSource(&source);
        grid->setConfirmations(&confirmations);
        nav->setConfirmations(&confirmations);
        auto record = [this](const std::exception& error) {
            errors << QString::fromStdString(error.what());
        };
        grid->setErrorDisplay(record);
        nav->setErrorDisplay(record);
        window->show();
    }
    ~ControlsFixture() {
        grid->setDataSource(nullptr);
        nav->setDataSource(nullptr);
        window.reset();
    }

    bool ready() const { return !file.isEmpty(); }
    bool shown() {
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    void open(const std::string& statement) {
        query.setSQL(statement);
        query.open();
    }
    // Editable, as Edit mode leaves the browser's grid.
    void editable() {
        grid->setReadOnly(false);
        source.setAutoEdit(true);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        grid->setFocus();
        QTest::keyClick(grid, static_cast<Qt::Key>(key), modifiers);
    }
    void press(controls::NavButtonStyle style) {
        QTest::mouseClick(&nav->button(style), Qt::LeftButton);
    }
    // Rows of a statement run on the same connection, first column as text.
    int count(const std::string& table) {
        data::TADOQuery counter("Counter");
        counter.setConnection(&connection);
        counter.setSQL("select count(*) from [" + table + "]");
        counter.open();
        return std::stoi(counter.field(0).asString());
    }
    QString cell(int row, int column) const {
        return grid->model()->index(row, column).data().toString();
    }
};

} // namespace test

#define REQUIRE_CONTROLS_FIXTURE(f)                                                                \
    do {                                                                                           \
        if (!(f).ready()) QSKIP("sample files not found (../shared/samples)");                     \
        QVERIFY((f).shown());                                                                      \
    } while (0)
