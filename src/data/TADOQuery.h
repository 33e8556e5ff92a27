#pragma once
// A data set whose statement is its SQL text: the browser's ADOQuery1.
#include "data/TCustomADODataSet.h"

namespace data {

class TADOQuery : public TCustomADODataSet {
public:
    explicit TADOQuery(std::string name = "ADOQuery1");

    const std::string& sql() const { return statementText(); }
    // Closes the query first when it is open: an unposted change is discarded.
    void setSQL(std::string text);
};

} // namespace data
