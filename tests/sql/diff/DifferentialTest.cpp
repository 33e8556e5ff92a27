// The same generated select statements on the same data in Tablory (a Jet file written
// through the engine) and in SQLite, compared row for row. The statements keep to what both
// engines mean the same way: lower-case ASCII text, whole numbers without division, no
// string concatenation and no Yes/No values.
#include "common/Samples.h"
#include "jet/Database.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#ifdef TABLORY_HAVE_SQLITE
#include <sqlite3.h>
#endif

namespace {

#ifdef TABLORY_HAVE_SQLITE

using Row = std::string;

// Numbers as both engines print them alike: Jet may sum Longs into a Double where SQLite
// keeps an integer, so every number is compared by value.
std::string normalized(const std::string& text) {
    if (text.empty()) return text;
    char* end = nullptr;
    const double d = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return text;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", d);
    return buffer;
}

class Sqlite {
public:
    Sqlite() { sqlite3_open(":memory:", &db_); }
    ~Sqlite() { sqlite3_close(db_); }
    Sqlite(const Sqlite&) = delete;
    Sqlite& operator=(const Sqlite&) = delete;

    void exec(const std::string& sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            std::string error = message ? message : "?";
            sqlite3_free(message);
            throw std::runtime_error("sqlite: " + error + " in " + sql);
        }
    }

    std::vector<Row> rows(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db_) + " in " + sql);
        std::vector<Row> out;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            Row row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                if (sqlite3_column_type(statement, c) == SQLITE_NULL)
                    row += "NULL";
                else
                    row += normalized(
                        reinterpret_cast<const char*>(sqlite3_column_text(statement, c)));
                row += "|";
            }
            out.push_back(std::move(row));
        }
        sqlite3_finalize(statement);
        return out;
    }

private:
    sqlite3* db_ = nullptr;
};

// Builds the statements from a fixed seed, so a failure names a statement that comes back
// on every run.
class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    struct Statement {
        std::string sql;
        bool ordered = false; // a total ORDER BY: compare as lists
    };

    Statement next() {
        switch (pick(9)) {
        case 0:
            return {"select id, grp, x, txt from A where " + predicateA("") + "", false};
        case 1:
            return {"select A.id, B.id, B.y, B.tag from A inner join B on A.id = B.aid where " +
                        predicateA("A.") + " and " + predicateB("B."),
                    false};
        case 2:
            return {"select grp, count(*), count(x), sum(x), min(x), max(txt) from A where " +
                        predicateA("") + " group by grp",
                    false};
        case 3:
            return {"select txt, count(*) from A group by txt having count(*) > " +
                        std::to_string(pick(4)),
                    false};
        case 4: {
            const bool down = pick(2) == 0;
            return {"select id, x, txt from A where " + predicateA("") + " order by x" +
                        (down ? " desc" : "") + ", id",
                    true};
        }
        case 5:
            return {"select A.id, B.y from A left join B on A.id = B.aid where " + predicateA("A."),
                    false};
        case 6:
            return {"select count(*), sum(B.y) from A, B where A.grp = B.y and " + predicateB("B."),
                    false};
        case 7:
            return {"select distinct grp, txt from A where " + predicateA(""), false};
        default:
            return {"select B.aid, count(*), min(B.tag), sum(B.y + A.x) from B inner join A on "
                    "B.aid = A.id where " +
                        predicateB("B.") + " group by B.aid order by B.aid",
                    true};
        }
    }

private:
    int pick(int n) { return int(random_() % unsigned(n)); }
    std::string number(int low, int high) { return std::to_string(low + pick(high - low + 1)); }
    std::string word() {
        static const char* const words[] = {"a", "ab", "abc", "b", "k", "m", "mz", "q", "zz"};
        return std::string("'") + words[pick(9)] + "'";
    }

    std::string predicateA(const std::string& p) {
        std::string a = atomA(p);
        switch (pick(4)) {
        case 0:
            return a + " and " + atomA(p);
        case 1:
            return "(" + a + " or " + atomA(p) + ")";
        case 2:
            return "not (" + a + ")";
        default:
            return a;
        }
    }
    std::string atomA(const std::string& p) {
        switch (pick(9)) {
        case 0:
            return p + "x > " + number(-20, 60);
        case 1:
            return p + "x between " + number(-20, 20) + " and " + number(0, 60);
        case 2:
            return p + "txt = " + word();
        case 3:
            return p + "txt < " + word();
        case 4:
            return p + "x is null";
        case 5:
            return p + "txt is not null";
        case 6:
            return p + "grp in (" + number(0, 3) + ", " + number(4, 7) + ")";
        case 7:
            return p + "x + " + p + "grp <= " + number(-10, 60);
        default:
            return p + "id <> " + number(1, 200);
        }
    }
    std::string predicateB(const std::string& p) {
        switch (pick(5)) {
        case 0:
            return p + "y >= " + number(0, 7);
        case 1:
            return p + "tag > " + word();
        case 2:
            return p + "y is not null";
        case 3:
            return "(" + p + "y < " + number(0, 9) + " or " + p + "tag = " + word() + ")";
        default:
            return p + "id between " + number(1, 150) + " and " + number(100, 300);
        }
    }

    std::mt19937 random_;
};

std::string textValue(std::mt19937& random) {
    static const char* const words[] = {"a", "ab", "abc", "abd", "b", "ba", "k",  "kz",
                                        "m", "mz", "q",   "qq",  "x", "zz", "zzz"};
    return words[random() % 15];
}

TEST(Differential, GeneratedSelectsAgreeWithSqlite) {
    const auto path = testing_support::scratchDir("sql-diff-sqlite") / "d.mdb";
    auto database = jet::Database::create(path);
    sql::JetStorage storage(*database);
    sql::Session session(storage);
    Sqlite lite;

    // The same statements build both databases.
    std::vector<std::string> script = {
        "create table A (id long primary key, grp long, x long, txt text(10))",
        "create table B (id long primary key, aid long, y long, tag text(10))",
    };
    std::mt19937 random(20240611);
    auto orNull = [&](std::string v) { return random() % 7 == 0 ? std::string("null") : v; };
    for (int id = 1; id <= 200; ++id)
        script.push_back("insert into A values (" + std::to_string(id) + ", " +
                         std::to_string(random() % 8) + ", " +
                         orNull(std::to_string(int(random() % 80) - 20)) + ", " +
                         orNull("'" + textValue(random) + "'") + ")");
    for (int id = 1; id <= 300; ++id)
        script.push_back("insert into B values (" + std::to_string(id) + ", " +
                         orNull(std::to_string(1 + random() % 230)) + ", " +
                         orNull(std::to_string(random() % 10)) + ", " +
                         orNull("'" + textValue(random) + "'") + ")");
    lite.exec("begin");
    session.execute("begin transaction");
    for (const auto& s : script) {
        session.execute(s);
        lite.exec(s);
    }
    session.execute("commit transaction");
    lite.exec("commit");
    // An index on the join and filter columns lets Tablory's planner seek, too.
    session.execute("create index ByAid on B (aid)");
    session.execute("create index ByX on A (x)");

    Generator generator(7);
    int compared = 0, nonEmpty = 0;
    for (int n = 0; n < 150; ++n) {
        const auto statement = generator.next();
        std::vector<Row> expected = lite.rows(statement.sql);
        std::vector<Row> actual;
        try {
            auto result = session.execute(statement.sql);
            for (const auto& row : sql::resultRows(result)) {
                Row line;
                for (const auto& v : row) line += normalized(v) + "|";
                actual.push_back(std::move(line));
            }
        } catch (const std::exception& e) {
            ADD_FAILURE() << "Tablory failed on: " << statement.sql << "\n" << e.what();
            continue;
        }
        if (!statement.ordered) {
            std::sort(expected.begin(), expected.end());
            std::sort(actual.begin(), actual.end());
        }
        EXPECT_EQ(actual, expected) << "statement " << n << ": " << statement.sql;
        ++compared;
        if (!expected.empty()) ++nonEmpty;
    }
    EXPECT_EQ(compared, 150);
    // A generator whose statements all came back empty would compare nothing.
    EXPECT_GT(nonEmpty, 100);
}

#else

TEST(Differential, GeneratedSelectsAgreeWithSqlite) {
    GTEST_SKIP() << "built without SQLite (libsqlite3-dev): nothing to compare against";
}

#endif

} // namespace
