// Starts a program on this console, presses Ctrl+C on the console after a delay (as an operator would in
// the window the program runs in), and reports how the program ended: "exit N". It takes no Ctrl+C
// itself, but does not pass an ignoring handler on: the program gets the console's default.
//
//   console_ctrl.exe DELAY_MS PROGRAM [ARGUMENT...]
#include <cstdio>
#include <cwchar>
#include <string>

#include <windows.h>

namespace {

BOOL WINAPI stay(DWORD) {
    return TRUE;
}

std::wstring quoted(const wchar_t* argument) {
    std::wstring text = L"\"";
    for (const wchar_t* c = argument; *c; ++c) {
        if (*c == L'"') text += L'\\';
        text += *c;
    }
    return text + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: console_ctrl DELAY_MS PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    std::wstring command;
    for (int i = 2; i < argc; ++i) command += (i > 2 ? L" " : L"") + quoted(argv[i]);
    ::SetConsoleCtrlHandler(stay, TRUE);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::printf("not started: %lu\n", ::GetLastError());
        return 2;
    }
    ::Sleep(static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)));
    if (!::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
        std::printf("no Ctrl+C: %lu\n", ::GetLastError());
        ::TerminateProcess(process.hProcess, 99);
        return 3;
    }
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        std::printf("still running 30 s after Ctrl+C\n");
        ::TerminateProcess(process.hProcess, 99);
        return 3;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    std::printf("exit %lu\n", code);
    std::fflush(stdout);
    return 0;
}
