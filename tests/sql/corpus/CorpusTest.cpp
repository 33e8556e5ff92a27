// Runs each statement corpus file on a fresh Jet file, then checks the file it leaves.
#include "CorpusFile.h"
#include "CorpusRunner.h"
#include "common/Samples.h"
#include "common/SoundFile.h"
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <gtest/gtest.h>

namespace {

const std::filesystem::path kCorpusDir = TABLORY_CORPUS_DIR;

class Corpus : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(Corpus, EveryRecordHasItsOutcome) {
    const corpus::CorpusFile file = corpus::readCorpusFile(GetParam());
    const std::string name = GetParam().filename().string();
    const auto path =
        testing_support::scratchDir("sql-corpus-" + GetParam().stem().string()) / "corpus.mdb";
    auto database = jet::Database::create(path);
    {
        sql::JetStorage storage(*database);
        sql::Session session(storage);
        // 2004-01-14 12:00, so that Now(), Date() and Time() give known values.
        session.evalContext().clock = [] { return core::DateTime{38000.5}; };
        for (const auto& mismatch : corpus::runRecords(session, file.records))
            ADD_FAILURE() << corpus::describe(name, mismatch);
        EXPECT_EQ(session.transactionDepth(), 0) << name << " leaves a transaction open";
    }
    EXPECT_TRUE(testing_support::passesCheck(*database)) << name << " leaves a damaged file";
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, ::testing::ValuesIn(corpus::corpusFiles(kCorpusDir)),
                         [](const ::testing::TestParamInfo<std::filesystem::path>& info) {
                             return info.param.stem().string();
                         });

TEST(CorpusSize, HoldsAtLeastThreeHundredStatements) {
    std::size_t statements = 0, skipped = 0;
    for (const auto& path : corpus::corpusFiles(kCorpusDir))
        for (const auto& record : corpus::readCorpusFile(path).records)
            ++(record.skipReason ? skipped : statements);
    EXPECT_GE(statements, 300u) << skipped << " more are skipped";
}

} // namespace
