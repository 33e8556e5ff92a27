#pragma once
// A data set whose statement is its command text, which it takes only while closed: the
// Query Builder's ADODataSet1.
#include "data/TCustomADODataSet.h"

namespace data {

class TADODataSet : public TCustomADODataSet {
public:
    explicit TADODataSet(std::string name = "ADODataSet1");

    const std::string& commandText() const { return statementText(); }
    // Raises "<name>: Cannot perform this operation on an open dataset" while open.
    void setCommandText(std::string text);
};

} // namespace data
