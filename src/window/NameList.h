#pragma once
// A list of names an action has already used, so the next action can refuse or question a repeat.
// The window keeps two for the life of the process: ColumnList and TableList.
#include <cstdint>
#include <string>
#include <vector>

namespace window {

class NameList {
public:
    NameList();

    // True if one of the entries in the list is byte for byte equal to the name.
    bool Contains(const std::string& name) const;
    // Stores the name after the last entry; no membership test, callers make their own.
    void Append(const std::string& name);
    // Empties the list; the old strings stay in their slots until appends overwrite them.
    void ResetCount();

    std::int32_t count() const { return count_; }
    // The entry at an index below count().
    const std::string& entry(std::int32_t index) const;

private:
    std::vector<std::string> entries_;
    std::int32_t count_ = 0;
};

} // namespace window
