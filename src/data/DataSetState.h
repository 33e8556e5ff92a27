#pragma once
// What a data set is doing: closed, showing records, or changing the current one.
namespace data {

enum class DataSetState {
    Inactive, // closed
    Browse,   // open, records can be read and moved through
    Edit,     // the current record is being changed
    Insert,   // a new record is being filled in
};

} // namespace data
