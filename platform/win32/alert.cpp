#include "platform/alert.h"

#include <windows.h>

void ErrorAlert(const char* caption, const char* text) {
    MessageBoxA(nullptr, text ? text : "", caption ? caption : "", MB_OK | MB_ICONERROR);
}
