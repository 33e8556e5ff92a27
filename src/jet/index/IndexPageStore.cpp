#include "jet/index/IndexPageStore.h"

namespace jet {

IndexPageSource::~IndexPageSource() = default;

std::shared_ptr<const IndexPage> IndexPageSource::parsed(std::uint32_t page) const {
    return std::make_shared<const IndexPage>(parseIndexPage(bytesOf(read(page)), format()));
}

void IndexPageStore::written(std::uint32_t, IndexPage) {}

} // namespace jet
