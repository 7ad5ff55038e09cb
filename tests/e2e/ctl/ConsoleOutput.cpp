#include "ConsoleOutput.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace {

void WriteUtf8(DWORD stream, const std::wstring& text)
{
    std::wstring line = text + L"\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr,
        nullptr);
    std::vector<char> bytes(size > 0 ? size : 1);
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(stream), bytes.data(), static_cast<DWORD>(size), &written, nullptr);
}

}

void ConsoleOutput::Line(const std::wstring& text)
{
    WriteUtf8(STD_OUTPUT_HANDLE, text);
}

void ConsoleOutput::Error(const std::wstring& text)
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program = path;
    program = program.substr(program.find_last_of(L"\\/") + 1);
    program = program.substr(0, program.rfind(L'.'));
    WriteUtf8(STD_ERROR_HANDLE, program + L": " + text);
}

std::wstring ConsoleOutput::Escape(const std::wstring& text)
{
    // What would end a field or a line, and the escape character itself.
    static const struct {
        wchar_t character;
        const wchar_t* escape;
    } escapes[] = {{L'\\', L"\\\\"}, {L'\t', L"\\t"}, {L'\n', L"\\n"}, {L'\r', L"\\r"}};
    std::wstring escaped;
    escaped.reserve(text.size());
    for (wchar_t c : text) {
        const wchar_t* escape = nullptr;
        for (const auto& known : escapes) {
            if (known.character == c) {
                escape = known.escape;
            }
        }
        if (escape != nullptr) {
            escaped += escape;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::wstring ConsoleOutput::Handle(const void* handle)
{
    return Hex(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(handle)));
}

std::wstring ConsoleOutput::Hex(unsigned long value)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lx", value);
    return text;
}

std::wstring ConsoleOutput::Rect(long left, long top, long right, long bottom)
{
    wchar_t text[64];
    swprintf(text, 64, L"%ld,%ld,%ld,%ld", left, top, right, bottom);
    return text;
}
