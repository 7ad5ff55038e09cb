#include "StandInLog.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

std::wstring StandInLog::LogPath()
{
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableW(L"STANDIN_LOG", buffer, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2) {
        return std::wstring();
    }
    std::wstring path(buffer, length);
    // Tests pass Unix paths; Wine maps the Unix root to drive Z:.
    if (path[0] == L'/') {
        for (wchar_t& c : path) {
            if (c == L'/') {
                c = L'\\';
            }
        }
        path.insert(0, L"Z:");
    }
    return path;
}

void StandInLog::Write(const wchar_t* event, const wchar_t* format, ...)
{
    std::wstring path = LogPath();
    if (path.empty()) {
        return;
    }
    va_list args;
    va_start(args, format);
    va_list count;
    va_copy(count, args);
    int detailsLength = _vscwprintf(format, count);
    va_end(count);
    std::vector<wchar_t> details(detailsLength > 0 ? detailsLength + 1 : 1, L'\0');
    if (detailsLength > 0) {
        _vsnwprintf(details.data(), details.size(), format, args);
    }
    va_end(args);

    wchar_t prefix[64];
    _snwprintf(prefix, 64, L"%lu %ls ", GetCurrentProcessId(), event);
    prefix[63] = L'\0';
    std::wstring line = prefix;
    line += details.data();
    for (wchar_t& c : line) {
        if (c == L'\n' || c == L'\r') {
            c = L' ';
        }
    }
    line += L'\n';

    int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::vector<char> utf8(size > 0 ? size : 1);
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), size, nullptr, nullptr);

    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 50 && file == INVALID_HANDLE_VALUE; ++attempt) {
        file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            Sleep(2);
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
}
