#include "data/TADODataSet.h"

#include "data/DataErrors.h"

namespace data {

TADODataSet::TADODataSet(std::string name) : TCustomADODataSet(std::move(name), "CommandText") {}

void TADODataSet::setCommandText(std::string text) {
    if (active()) raiseComponentError(name(), messages::dataSetOpen);
    setStatementText(std::move(text));
}

} // namespace data
