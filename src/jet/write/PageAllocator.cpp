#include "jet/write/PageAllocator.h"

#include "jet/write/UsageMapEditor.h"

namespace jet {

std::uint32_t PageStore::allocate() {
    return allocator_.allocate(*this);
}

std::uint32_t PageStore::appendBlank() {
    std::uint32_t page = file_.append(PageBytes{});
    allocator_.markAppended(*this, page);
    return page;
}

void PageStore::release(std::uint32_t page) {
    allocator_.release(*this, page);
}

std::uint32_t PageAllocator::allocate(PageStore& store) {
    UsageMapEditor global(store, kGlobalUsageMapPointer);
    for (std::uint32_t page : global.pages()) {
        if (page >= store.pageCount()) break;
        if (page < 2) continue; // the header and the global map's own page are never free
        global.remove(page);
        return page;
    }
    std::uint32_t page = store.file().append(PageBytes{});
    global.remove(page);
    return page;
}

void PageAllocator::release(PageStore& store, std::uint32_t page) {
    if (page < 2) throwDamaged("an attempt to free the header pages");
    // A freed page is wiped so that no reader mistakes old rows or index entries for live ones.
    store.write(page, PageBytes{});
    UsageMapEditor(store, kGlobalUsageMapPointer).add(page);
}

void PageAllocator::markAppended(PageStore& store, std::uint32_t page) {
    UsageMapEditor(store, kGlobalUsageMapPointer).remove(page);
}

} // namespace jet
