#pragma once
// Saved query files: the three query boxes as box text files sharing a base name, plus the
// ".sql" record of every statement saved since the program started. The box files differ
// only in their last letter (s, f, w), which is how loading finds the other two.
#include <QString>

namespace builder {

struct QueryFileSet {
    QString select; // base + ".sqlqws"
    QString from;   // base + ".sqlqwf"
    QString where;  // base + ".sqlqww"
    QString record; // base + ".sql", never read back
};

// The set saved under the name chosen in the save dialog: the name trimmed, no extension
// taken away or added ("x.sql" gives "x.sql.sqlqws", ...).
QueryFileSet savedQueryFiles(const QString& chosenName);
// The set loaded for the file chosen in the open dialog: its name without the last
// character, then "s", "f" and "w" ("q.txt" reads "q.txs", "q.txf" and "q.txw").
QueryFileSet loadedQueryFiles(const QString& chosenFile);

} // namespace builder
