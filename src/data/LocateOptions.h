#pragma once
// How Locate compares a field's value with the value searched for.
namespace data {

struct LocateOptions {
    bool caseInsensitive = false; // loCaseInsensitive: letters match in either case
    bool partialKey = false;      // loPartialKey: the value need only begin with the key
    bool anywhere = false;        // the value need only contain the key (as text)
};

} // namespace data
