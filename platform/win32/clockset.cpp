#include "platform/clockset.h"

#include <windows.h>

int SystemSetLocalClock(const SYSTEMTIME& when) {
    if (SetLocalTime(&when)) return 0;
    int err = int(GetLastError());
    return err != 0 ? err : ERROR_INVALID_PARAMETER;
}

std::string SysErrorText(int error) {
    char buf[1001] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             DWORD(error), 0, buf, 1000, nullptr);
    std::string text(buf, n);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) text = "Unknown error " + std::to_string(error);
    return text;
}

void SleepMs(int ms) {
    if (ms > 0) Sleep(DWORD(ms));
}
