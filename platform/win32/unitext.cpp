#include "platform/unitext.h"

#include <windows.h>

#include <cstdio>
#include <vector>

uint32_t UnicodeUpper(uint32_t cp) {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 'a' + 'A' : cp;
    wchar_t units[2];
    DWORD count = 1;
    if (cp < 0x10000) {
        units[0] = wchar_t(cp);
    } else if (cp <= 0x10FFFF) {
        units[0] = wchar_t(0xD800 + ((cp - 0x10000) >> 10));
        units[1] = wchar_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        count = 2;
    } else {
        return cp;
    }
    if (CharUpperBuffW(units, count) != count) return cp;
    if (count == 1) return units[0] >= 0xD800 && units[0] <= 0xDFFF ? cp : uint32_t(units[0]);
    if (units[0] < 0xD800 || units[0] > 0xDBFF || units[1] < 0xDC00 || units[1] > 0xDFFF) return cp;
    return 0x10000 + ((uint32_t(units[0]) - 0xD800) << 10) + (uint32_t(units[1]) - 0xDC00);
}

std::u16string Utf16FromAnsi(std::string_view text) {
    if (text.empty()) return std::u16string();
    const int size = int(text.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (n <= 0) return std::u16string(text.size(), u'\uFFFD');
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), n);
    return std::u16string(wide.begin(), wide.end());
}

CConsoleUtf8::CConsoleUtf8() {
    DWORD mode = 0;
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == INVALID_HANDLE_VALUE || !out || !GetConsoleMode(out, &mode)) return;
    const UINT current = GetConsoleOutputCP();
    if (current == 0 || current == CP_UTF8) return;
    if (SetConsoleOutputCP(CP_UTF8)) previous_ = current;
}

CConsoleUtf8::~CConsoleUtf8() {
    if (previous_ == 0) return;
    std::fflush(stdout);
    SetConsoleOutputCP(previous_);
}
