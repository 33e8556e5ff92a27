#include "data/RememberedOrder.h"

#include "sql/engine/execution/TableRows.h"
#include "sql/engine/storage/Storage.h"

namespace data {

RememberedOrder::Locators RememberedOrder::of(const sql::Storage& storage,
                                              std::string_view statement,
                                              const sql::TableRows& rows) {
    const std::optional<std::uint64_t> stamp = storage.changeStamp();
    if (stamp && locators_ && *stamp == stamp_ && statement == statement_) return locators_;
    forget();
    auto sorted = std::make_shared<const std::vector<sql::RowLocator>>(rows.locators());
    // Reading changes nothing, so the stamp taken before the sort names the rows it sorted.
    if (stamp) {
        statement_ = std::string(statement);
        stamp_ = *stamp;
        locators_ = sorted;
    }
    return sorted;
}

void RememberedOrder::forget() {
    statement_.clear();
    stamp_ = 0;
    locators_.reset();
}

} // namespace data
