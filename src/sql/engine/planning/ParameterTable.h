#pragma once
// The parameters of one statement as binding meets them: every use of a name shares one
// slot, every "?" has its own. Their positions among the caller's values are fixed at the
// end: declared ones first, then the others by where they first appear in the text.
#include "sql/engine/Prepared.h"
#include "sql/engine/planning/BoundNodes.h"
#include "sql/syntax/Statement.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sql {

class ParameterTable {
public:
    // Registers the PARAMETERS declarations before anything else is bound.
    void declare(const std::vector<ParameterDecl>& declarations);

    std::shared_ptr<ParameterSlot> named(std::string_view name, std::size_t offset);
    std::shared_ptr<ParameterSlot> marker(int index, std::size_t offset);
    bool isDeclared(std::string_view name) const;

    // Fixes the positions; call once after binding.
    void assignPositions();
    std::vector<ParameterInfo> describe() const;
    std::size_t size() const { return slots_.size(); }

    // The values for the runtime: one per slot, converted to the declared types; raises
    // the missing-parameters error when there are fewer values than slots.
    std::vector<core::Value> values(std::span<const core::Value> given) const;

private:
    struct Entry {
        std::shared_ptr<ParameterSlot> slot;
        std::optional<ColumnType> declaredType;
    };
    std::vector<Entry> slots_; // in position order after assignPositions()
};

} // namespace sql
