#pragma once
// What a data set tells the data sources that show it, and they tell their links.
namespace data {

enum class DataEvent {
    ActiveChanged,   // opened or closed
    StateChanged,    // entered or left edit or insert state
    DataSetChanged,  // records changed or the position jumped: show everything again
    Scrolled,        // the current record moved by a number of records
    FieldChanged,    // a field of the current record got a new value
    UpdateRecord,    // about to post: controls write what the user typed into the fields
    CheckBrowseMode, // about to settle a pending change before a move
    LayoutChanged,   // the fields are different ones
};

} // namespace data
