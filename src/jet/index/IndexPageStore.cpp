#include "jet/index/IndexPageStore.h"

namespace jet {

IndexPageSource::~IndexPageSource() = default;

} // namespace jet
