#pragma once
// The current time as Jet stores dates: days from 1899-12-30, for creation and update stamps.
#include "core/Value.h"

#include <chrono>

namespace jet {

inline core::DateTime currentJetTime() {
    using namespace std::chrono;
    double seconds =
        static_cast<double>(
            duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count()) /
        1000.0;
    // 1970-01-01 is day 25569 of Jet's calendar.
    return core::DateTime{25569.0 + seconds / 86400.0};
}

} // namespace jet
