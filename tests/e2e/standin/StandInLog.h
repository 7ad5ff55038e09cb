#pragma once

#include <string>

// Appends "<pid> <event> <details>" lines to the file named by STANDIN_LOG.
// Each line opens, appends and closes the file, so several processes can share it.
class StandInLog {
public:
    static void Write(const wchar_t* event, const wchar_t* format, ...);
    static std::wstring LogPath();
};
