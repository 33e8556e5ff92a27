#include "sql/eval/EvalContext.h"

#include "core/DateParts.h"

#include <ctime>

namespace sql {

core::DateTime currentDateTime(const EvalContext& context) {
    if (context.clock) return context.clock();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return core::dateFromDayAndSeconds(
        core::dayNumberOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
        local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec);
}

} // namespace sql
