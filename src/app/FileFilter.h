#pragma once
// File dialog filters as the actions write them ("Access Databases|*.mdb") turned into the name
// filters a Qt file dialog takes ("Access Databases (*.mdb)").
#include <QString>
#include <QStringList>

namespace app {

// Pairs of description and patterns separated by "|"; patterns within a pair by ";".
QStringList nameFilters(const QString& filter);

} // namespace app
