#include "sql/engine/Storage.h"

namespace sql {

namespace {

class ReadRowReader : public RowReader {
public:
    ReadRowReader(const Storage& storage, std::string table)
        : storage_(storage), table_(std::move(table)) {}
    std::optional<std::vector<core::Value>> read(RowLocator locator) override {
        return storage_.readRow(table_, locator);
    }

private:
    const Storage& storage_;
    std::string table_;
};

} // namespace

std::unique_ptr<RowCursor> Storage::walkIndex(std::string_view, std::string_view, bool) const {
    return nullptr;
}

std::unique_ptr<RowReader> Storage::rowReader(std::string_view table) const {
    return std::make_unique<ReadRowReader>(*this, std::string(table));
}

std::unique_ptr<RowCursor> Storage::seekIndex(std::string_view, std::string_view,
                                              const KeyRange&) const {
    return nullptr;
}

} // namespace sql
