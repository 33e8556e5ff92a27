#pragma once
// The window's two shared file dialogs. Each remembers its file name between uses, as the
// actions that share them expect: a cancelled dialog keeps the name it held before.
#include "window/Prompts.h"

#include <QString>

namespace window {

// The open dialog: every action sets its own filter before executing it.
class TOpenDialog {
public:
    explicit TOpenDialog(Prompts& prompts) : prompts_(prompts) {}

    QString filter = QStringLiteral("Access Databases|*.mdb");
    QString fileName;

    // True when the user chose a file; fileName then holds its path.
    bool execute();

private:
    Prompts& prompts_;
};

// The save dialog: always the schema filter; the caller presets fileName each time.
class TSaveDialog {
public:
    explicit TSaveDialog(Prompts& prompts) : prompts_(prompts) {}

    const QString filter = QStringLiteral("SQL Schemas|*.sql");
    QString fileName;

    bool execute();

private:
    Prompts& prompts_;
};

} // namespace window
