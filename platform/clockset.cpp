#include "platform/clockset.h"

#include <utility>

namespace {

ClockSetter& installed() {
    static ClockSetter setter;
    return setter;
}

} // namespace

int setlocalclock(const SYSTEMTIME& when) {
    const ClockSetter& setter = installed();
    return setter ? setter(when) : systemsetlocalclock(when);
}

ClockSetter replaceclocksetter(ClockSetter setter) {
    return std::exchange(installed(), std::move(setter));
}
