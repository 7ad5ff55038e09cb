#pragma once

#include <string>

// Writes UTF-8 lines to standard output or error; field values are escaped so
// that every record stays on one tab-separated line.
class ConsoleOutput {
public:
    static void Line(const std::wstring& text);
    static void Error(const std::wstring& text);
    static std::wstring Escape(const std::wstring& text);
    static std::wstring Handle(const void* handle);
    static std::wstring Hex(unsigned long value);
    static std::wstring Rect(long left, long top, long right, long bottom);
};
