#include "platform/clockset.h"

#include <windows.h>

LocalClock readlocalclock() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    LocalClock c;
    c.year = st.wYear;
    c.month = st.wMonth;
    c.day = st.wDay;
    c.hour = st.wHour;
    c.minute = st.wMinute;
    c.second = st.wSecond;
    c.millisecond = st.wMilliseconds;
    c.weekday = st.wDayOfWeek;
    return c;
}

int systemsetlocalclock(const LocalClock& when) {
    SYSTEMTIME st{};
    st.wYear = WORD(when.year);
    st.wMonth = WORD(when.month);
    st.wDay = WORD(when.day);
    st.wHour = WORD(when.hour);
    st.wMinute = WORD(when.minute);
    st.wSecond = WORD(when.second);
    st.wMilliseconds = WORD(when.millisecond);
    st.wDayOfWeek = WORD(when.weekday);
    if (SetLocalTime(&st)) return 0;
    int err = int(GetLastError());
    return err != 0 ? err : ERROR_INVALID_PARAMETER;
}

std::string syserrortext(int error) {
    char buf[1001] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             DWORD(error), 0, buf, 1000, nullptr);
    std::string text(buf, n);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) text = "Unknown error " + std::to_string(error);
    return text;
}

void sleepms(int ms) {
    if (ms > 0) Sleep(DWORD(ms));
}
