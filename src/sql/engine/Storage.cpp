#include "sql/engine/Storage.h"

namespace sql {

std::unique_ptr<RowCursor> Storage::seekIndex(std::string_view, std::string_view,
                                              const KeyRange&) const {
    return nullptr;
}

} // namespace sql
