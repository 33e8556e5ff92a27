// Qt's ODBC plugin (QODBC) over libtablory-odbc.so: a new file, a table, prepared inserts with
// bound values (a Null, dates, text beyond ASCII), the rows read back through a forward-only
// and a scrollable (static cursor) query; then tablory-sql check must pass the file.
// Usage: qtsql_roundtrip DRIVER_LIBRARY TABLORY_SQL WORK_DIR
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Person {
    int id;
    QVariant name;
    QVariant born;
    QVariant score;
};

[[noreturn]] void fail(const QString& message) {
    std::fprintf(stderr, "FAIL: %s\n", qPrintable(message));
    std::exit(1);
}

void check(bool condition, const QString& message) {
    if (!condition) fail(message);
}

void exec(QSqlQuery& query, const QString& sql) {
    if (!query.exec(sql)) fail(sql + ": " + query.lastError().text());
}

// What a row must read back as: a bound QDate comes back as midnight of that day.
QVariant expectedBorn(const QVariant& bound) {
    if (bound.isNull()) return {};
    if (bound.typeId() == QMetaType::QDate) return QDateTime(bound.toDate(), QTime(0, 0));
    return bound;
}

void checkRow(const QSqlQuery& query, const Person& p, const QString& where) {
    const QString at = where + QStringLiteral(" row %1: ").arg(p.id);
    check(query.value(0).toInt() == p.id, at + "Id " + query.value(0).toString());
    check(query.value(1).isNull() == p.name.isNull(), at + "Name null-ness differs");
    if (!p.name.isNull())
        check(query.value(1).toString() == p.name.toString(),
              at + "Name " + query.value(1).toString());
    const QVariant born = expectedBorn(p.born);
    check(query.value(2).isNull() == born.isNull(), at + "Born null-ness differs");
    if (!born.isNull())
        check(query.value(2).toDateTime() == born.toDateTime(),
              at + "Born " + query.value(2).toDateTime().toString(Qt::ISODate));
    check(query.value(3).isNull() == p.score.isNull(), at + "Score null-ness differs");
    if (!p.score.isNull())
        check(query.value(3).toDouble() == p.score.toDouble(),
              at + "Score " + query.value(3).toString());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) fail("usage: qtsql_roundtrip DRIVER_LIBRARY TABLORY_SQL WORK_DIR");
    const QString driver = args[1], tablorySql = args[2], work = args[3];
    check(QSqlDatabase::drivers().contains("QODBC"), "Qt has no QODBC plugin");
    QDir().mkpath(work);
    const QString file = QDir(work).filePath("qtsql.mdb");
    QFile::remove(file);

    const std::vector<Person> people = {
        {1, QString("Zoë Ångström"), QDateTime(QDate(2024, 2, 29), QTime(13, 45, 10)), 2.5},
        {2, QVariant(QMetaType::fromType<QString>()), QDate(1899, 12, 30), -0.25},
        {3, QString("O'Brien"), QVariant(QMetaType::fromType<QDateTime>()),
         QVariant(QMetaType::fromType<double>())},
        {4, QString(""), QDateTime(QDate(1753, 1, 1), QTime(0, 0, 1)), 1e300},
    };

    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QODBC", "tablory");
        db.setDatabaseName(QStringLiteral("DRIVER={%1};DBQ=%2;CREATE_DB=1").arg(driver, file));
        if (!db.open()) fail("open: " + db.lastError().text());

        QSqlQuery ddl(db);
        exec(ddl, "create table People (Id long primary key, Name text(40), Born datetime,"
                  " Score double)");

        QSqlQuery insert(db);
        if (!insert.prepare("insert into People (Id, Name, Born, Score) values (?, ?, ?, ?)"))
            fail("prepare: " + insert.lastError().text());
        for (const Person& p : people) {
            insert.bindValue(0, p.id);
            insert.bindValue(1, p.name);
            insert.bindValue(2, p.born);
            insert.bindValue(3, p.score);
            if (!insert.exec())
                fail(QStringLiteral("insert %1: ").arg(p.id) + insert.lastError().text());
            check(insert.numRowsAffected() == 1, QStringLiteral("insert %1 affected %2 rows")
                                                     .arg(p.id)
                                                     .arg(insert.numRowsAffected()));
        }

        const QString select = "select Id, Name, Born, Score from People order by Id";
        QSqlQuery forward(db);
        forward.setForwardOnly(true);
        exec(forward, select);
        std::size_t n = 0;
        for (; forward.next(); ++n) {
            check(n < people.size(), "forward-only query gave too many rows");
            checkRow(forward, people[n], "forward-only");
        }
        check(n == people.size(), QStringLiteral("forward-only query gave %1 rows").arg(n));

        QSqlQuery scroll(db);
        scroll.setForwardOnly(false);
        exec(scroll, select);
        check(scroll.last(), "last() failed: " + scroll.lastError().text());
        checkRow(scroll, people.back(), "last()");
        check(scroll.at() == int(people.size()) - 1,
              QStringLiteral("last() is at %1").arg(scroll.at()));
        check(scroll.seek(1), "seek(1) failed: " + scroll.lastError().text());
        checkRow(scroll, people[1], "seek(1)");
        check(scroll.previous(), "previous() failed");
        checkRow(scroll, people[0], "previous()");
        check(scroll.seek(2, true) && scroll.at() == 2, "relative seek(2) did not reach row 3");
        checkRow(scroll, people[2], "relative seek(2)");
        check(!scroll.seek(int(people.size())), "seek past the end succeeded");
        check(scroll.first(), "first() failed");
        checkRow(scroll, people[0], "first()");

        QSqlQuery count(db);
        exec(count, "select count(*) from People where Name is null or Born is null");
        check(count.next() && count.value(0).toInt() == 2, "the Nulls were not stored as Null");
        // Qt counts each text's terminator in its length; the stored text must not keep it.
        exec(count, "select Len(Name) from People where Id in (1, 4) order by Id");
        check(count.next() && count.value(0).toInt() == 12 && count.next() &&
                  count.value(0).toInt() == 0,
              "bound texts were stored with more characters than given");
        db.close();
    }
    QSqlDatabase::removeDatabase("tablory");

    QProcess checker;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LD_PRELOAD");
    checker.setProcessEnvironment(env);
    checker.setProcessChannelMode(QProcess::MergedChannels);
    checker.start(tablorySql, {"check", file});
    check(checker.waitForFinished(120000), "tablory-sql check did not finish");
    check(checker.exitStatus() == QProcess::NormalExit && checker.exitCode() == 0,
          "tablory-sql check failed: " + QString::fromUtf8(checker.readAll()));
    std::printf("Qt ODBC roundtrip: %zu rows, scrolling and check passed\n", people.size());
    return 0;
}
