#pragma once
// Runs one statement on a file through the access layer, as the window's SQL console would:
// the benchmarks' files get their primary keys this way, after their rows are in.
#include "JetTables.h"
#include "data/TADOCommand.h"
#include "data/TADOConnection.h"

#include <filesystem>
#include <string>

namespace bench {

inline void executeStatement(const std::filesystem::path& file, const std::string& statement) {
    data::TADOConnection connection;
    connection.setConnectionString(openString(file));
    data::TADOCommand command;
    command.setConnection(&connection);
    command.setCommandText(statement);
    command.execute();
}

} // namespace bench
