#pragma once
// The window's command: runs one statement text on the main connection, as ADOCommand1 bound
// to ADOConnection1 does, for the pages that execute what the user wrote.
#include <string>

namespace window {

// What ADOCommand1 says when it is given no text to execute; the error box adds the full stop.
inline constexpr const char* missingCommandTextMessage =
    "ADOCommand1: Missing CommandText property";

class CommandExecutor {
public:
    virtual ~CommandExecutor() = default;

    // Executes the text once, as it is (lines separated by CR LF); rows it returns are dropped.
    // Failures are thrown as std::exception subclasses carrying the text the error box shows.
    // An empty text never reaches the database: it throws missingCommandTextMessage.
    virtual void execute(const std::string& commandText) = 0;
};

} // namespace window
