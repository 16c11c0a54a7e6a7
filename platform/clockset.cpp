#include "platform/clockset.h"

#include <utility>

namespace {

ClockSetter& Installed() {
    static ClockSetter setter;
    return setter;
}

} // namespace

int SetLocalClock(const SYSTEMTIME& when) {
    const ClockSetter& setter = Installed();
    return setter ? setter(when) : SystemSetLocalClock(when);
}

ClockSetter ReplaceClockSetter(ClockSetter setter) {
    return std::exchange(Installed(), std::move(setter));
}
