// The fixture application in a process of its own, for the tests that run
// under Wine: started by the test, ended (by its process handle) when the
// object goes.
#pragma once

#include "winsys/wstypes.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

inline WsHandle H(HWND h) {
    return WsHandle(reinterpret_cast<uintptr_t>(h));
}

class Fixture {
public:
    Fixture() {
        const char* tmp = std::getenv("OSTRELLE_TEST_TMP");
        CreateDirectoryA(tmp ? tmp : ".", nullptr);
        log_ = std::string(tmp ? tmp : ".") + "/win32_fixture.log";
        DeleteFileA(log_.c_str());
        std::string cmd = std::string("\"") + OSTRELLE_FIXTURE_EXE + "\" \"" + log_ + "\" 60";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi_))
            pi_ = PROCESS_INFORMATION{};
    }
    ~Fixture() {
        if (!pi_.hProcess) return;
        TerminateProcess(pi_.hProcess, 0);
        WaitForSingleObject(pi_.hProcess, 10000);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    bool Started() const { return pi_.hProcess != nullptr; }
    DWORD Pid() const { return pi_.dwProcessId; }

    // Polls until the fixture has shown every window (its log says "ready"),
    // at most 60 s; false when it does not get there.
    bool WaitReady() const {
        for (int i = 0; i < 600; ++i) {
            if (Log().find("\nready\n") != std::string::npos) return true;
            if (WaitForSingleObject(pi_.hProcess, 100) == WAIT_OBJECT_0) return false;
        }
        return false;
    }

    // The fixture's whole log (at most about 1 MB).
    std::string Log() const {
        std::string text;
        if (FILE* f = std::fopen(log_.c_str(), "rb")) {
            char buf[4096];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() < 1000000)
                text.append(buf, n);
            std::fclose(f);
        }
        return text;
    }

    // The fixture's log after its "ready" line.
    std::string LogAfterReady() const {
        const std::string text = Log();
        size_t at = text.find("\nready\n");
        return at == std::string::npos ? std::string() : text.substr(at + 7);
    }

    // The handle of the fixture's window ROLE from its log's "hwnd ROLE
    // XXXXXXXX" line, or 0.
    WsHandle Role(const std::string& role) const {
        const std::string text = Log(), key = "hwnd " + role + " ";
        for (size_t at = 0; (at = text.find(key, at)) != std::string::npos; at += key.size())
            if (at == 0 || text[at - 1] == '\n')
                return WsHandle(std::strtoul(text.c_str() + at + key.size(), nullptr, 16));
        return 0;
    }

    // The fixture's top-level window of this class and title, or 0.
    WsHandle Window(const char* cls, const char* title) const {
        HWND h = FindWindowA(cls, title);
        DWORD pid = 0;
        if (h) GetWindowThreadProcessId(h, &pid);
        return pid == pi_.dwProcessId ? H(h) : 0;
    }

private:
    PROCESS_INFORMATION pi_{};
    std::string log_;
};
