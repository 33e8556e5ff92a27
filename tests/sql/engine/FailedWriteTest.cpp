// A save the disk refuses: the statement (or the transaction) reports why, the file stays as
// it was, and the session goes on. The write limit of a child process stands in for a full
// disk: writes past it fail as they would on a disk with no room left, on any machine.
#include "JetFileTest.h"
#include "core/Error.h"
#include "sql/engine/EngineErrors.h"
#include "sql/engine/ResultText.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::vector<char> bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

enum class Limit { AtTheFileSize, BelowTheJournal };
enum class Scope { Statement, Transaction };

struct Case {
    const char* name;
    Limit limit;
    Scope scope;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.name;
}

const Case kCases[] = {
    {"statement_growing_the_file", Limit::AtTheFileSize, Scope::Statement},
    {"statement_unable_to_journal", Limit::BelowTheJournal, Scope::Statement},
    {"transaction_growing_the_file", Limit::AtTheFileSize, Scope::Transaction},
    {"transaction_unable_to_journal", Limit::BelowTheJournal, Scope::Transaction},
};

class FailedWrite : public engine_test::JetFileTest, public ::testing::WithParamInterface<Case> {
protected:
    std::string outcome(const std::string& sql) {
        try {
            auto result = session->execute(sql);
            return result.hasRows() ? sql::resultText(result) : "done";
        } catch (const core::Error& e) {
            return std::string("error: ") + e.what();
        }
    }

    // What the session says in a child process whose writes stop at `limit` bytes.
    std::string inLimitedChild(std::uint64_t limit, const std::function<std::string()>& body) {
        int out[2];
        if (::pipe(out) != 0) return "no pipe";
        pid_t child = ::fork();
        if (child == 0) {
            ::close(out[0]);
            std::signal(SIGXFSZ, SIG_IGN); // a failed write instead of a killed process
            rlimit r{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &r);
            std::string said = body();
            (void)!::write(out[1], said.data(), said.size());
            ::_exit(0);
        }
        ::close(out[1]);
        std::string said;
        char buffer[512];
        for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
            said.append(buffer, static_cast<std::size_t>(n));
        ::close(out[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        return said;
    }
};

TEST_P(FailedWrite, ReportsTheCauseAndKeepsTheFile) {
    const Case& c = GetParam();
    outcome("create table T (ID counter primary key, Note memo)");
    outcome("insert into T (Note) values ('kept')");
    const auto before = bytesOf(path);
    const std::uint64_t limit = c.limit == Limit::AtTheFileSize ? before.size() : 6000;
    const std::string big = "insert into T (Note) values (Space(20000) & 'lost')";
    std::string said = inLimitedChild(limit, [&] {
        std::string s;
        if (c.scope == Scope::Statement) {
            s = outcome(big);
        } else {
            s = outcome("begin transaction") + "; " + outcome(big) + "; ";
            s += outcome("commit");
            // The failed commit ended the transaction: nothing is left open to roll back.
            s += "; " + outcome("rollback");
        }
        return s + "; " + outcome("select Count(*) from T");
    });
    EXPECT_NE(said.find("File too large."), std::string::npos) << said;
    EXPECT_EQ(said.find("ROLLBACK without"), std::string::npos) << said;
    EXPECT_EQ(said.substr(said.rfind("; ") + 2), "1\n") << said;
    if (c.scope == Scope::Transaction) {
        EXPECT_NE(said.find("error: " + std::string(sql::messages::noTransaction)),
                  std::string::npos)
            << said;
    }
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_FALSE(std::filesystem::exists(path.string() + "-journal"));
    reopen();
    EXPECT_EQ(outcome("select Note from T"), "kept\n");
    expectSound();
}

INSTANTIATE_TEST_SUITE_P(Disk, FailedWrite, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
