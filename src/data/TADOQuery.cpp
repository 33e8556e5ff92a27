#include "data/TADOQuery.h"

namespace data {

TADOQuery::TADOQuery(std::string name) : TCustomADODataSet(std::move(name), "SQL") {}

void TADOQuery::setSQL(std::string text) {
    close();
    setStatementText(std::move(text));
}

} // namespace data
