#pragma once
// Object ids in a compacted copy: a table's id is its definition page, so tables get new
// ids, and every system-table column that names an object follows them. Other objects
// (queries, forms, reports, containers) keep theirs.
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

namespace jet {

class ObjectIdMap {
public:
    void add(std::int32_t from, std::int32_t to) { ids_[from] = to; }
    // The copy's id for a source id; an id the map does not hold is unchanged.
    std::int32_t translate(std::int32_t id) const {
        auto it = ids_.find(id);
        return it == ids_.end() ? id : it->second;
    }

private:
    std::map<std::int32_t, std::int32_t> ids_;
};

// The columns of a system table that hold catalog object ids (MSysObjects' Id and ParentId,
// MSysACEs' and MSysQueries' ObjectId, the navigation pane's object lists); none for
// other tables.
std::vector<std::string_view> objectIdColumns(std::string_view table);

} // namespace jet
