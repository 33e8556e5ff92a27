#include "sql/engine/storage/Storage.h"

#include <atomic>

namespace sql {

namespace {

class ReaderThroughReadRow : public RowReader {
public:
    ReaderThroughReadRow(const Storage& storage, std::string table)
        : storage_(storage), table_(std::move(table)) {}
    std::optional<std::vector<core::Value>> read(RowLocator locator) const override {
        return storage_.readRow(table_, locator);
    }
    std::optional<std::vector<core::Value>>
    read(RowLocator locator, std::span<const std::size_t> columns) const override {
        auto row = storage_.readRow(table_, locator);
        if (!row) return std::nullopt;
        std::vector<core::Value> values;
        values.reserve(columns.size());
        for (std::size_t c : columns) values.push_back(c < row->size() ? (*row)[c] : core::Value());
        return values;
    }

private:
    const Storage& storage_;
    std::string table_;
};

} // namespace

std::uint64_t newChangeStamp() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

std::unique_ptr<RowCursor> Storage::walkIndex(std::string_view, std::string_view, bool) const {
    return nullptr;
}

std::unique_ptr<RowCursor> Storage::seekIndex(std::string_view, std::string_view,
                                              const KeyRange&) const {
    return nullptr;
}

std::unique_ptr<RowReader> Storage::rowReader(std::string_view table) const {
    return std::make_unique<ReaderThroughReadRow>(*this, std::string(table));
}

std::vector<RowLocator> Storage::rowLocators(std::string_view table) const {
    std::vector<RowLocator> out;
    auto cursor = scan(table);
    while (cursor->next()) out.push_back(cursor->locator());
    return out;
}

std::optional<std::vector<IndexedRow>> Storage::indexOrder(std::string_view,
                                                           std::string_view) const {
    return std::nullopt;
}

} // namespace sql
