#include "AccessibleProbe.h"
#include "ConsoleOutput.h"
#include "StandInChannel.h"
#include "WindowInspector.h"

#include "../standin/ControlChannel.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

const int ExitUsage = 1;
const int ExitNoStandIn = 2;
const int ExitFailed = 3;

const wchar_t Usage[] =
    L"usage: standinctl list\n"
    L"       standinctl windows [--all]\n"
    L"       standinctl foreground\n"
    L"       standinctl metrics\n"
    L"       standinctl hold\n"
    L"       standinctl restore --hwnd H\n"
    L"       standinctl accessible --hwnd H [--press NAME]\n"
    L"       standinctl navigate ADDRESS [--index N | --hwnd H] [--timeout MS]\n"
    L"       standinctl newwindow3 ADDRESS [--index N | --hwnd H] [--timeout MS]\n"
    L"       standinctl newwindow2 [--index N | --hwnd H] [--timeout MS]\n"
    L"       standinctl windowclosing [--index N | --hwnd H] [--timeout MS]\n"
    L"       standinctl beforenavigate ADDRESS [--index N | --hwnd H] [--timeout MS]\n"
    L"       standinctl security ACTION,... [--index N | --hwnd H] [--timeout MS]\n"
    L"       standinctl navigateerror ADDRESS [--status N] [--frame] [--index N | --hwnd H] [--timeout MS]\n"
    L"       standinctl alert [TEXT] [--index N | --hwnd H] [--timeout MS]\n"
    L"       standinctl stop [--index N | --hwnd H] [--timeout MS]\n"
    L"       standinctl copy TEXT [--index N | --hwnd H] [--timeout MS]\n"
    L"       standinctl clipboard\n"
    L"       standinctl close --hwnd H\n"
    L"       standinctl syscommand --hwnd H CODE";

// What the control raises when a server's name is not found.
const long ResourceNotFound = static_cast<long>(0x800C0005);

struct Target {
    long index = -1;
    HWND window = nullptr;
    DWORD timeoutMs = 10000;
    std::wstring address;
    bool hasAddress = false;
    bool valid = true;
    // NavigateError only.
    long status = ResourceNotFound;
    bool frame = false;
    bool errorOptions = false;
};

// A window handle given on the command line, in decimal or 0x hex.
HWND WindowArgument(const wchar_t* text)
{
    return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(wcstoul(text, nullptr, 0)));
}

Target ParseTarget(int argc, wchar_t** argv, int first)
{
    Target target;
    for (int i = first; i < argc; ++i) {
        std::wstring argument = argv[i];
        bool hasValue = i + 1 < argc;
        if (argument == L"--index" && hasValue) {
            target.index = wcstol(argv[++i], nullptr, 10);
        } else if (argument == L"--hwnd" && hasValue) {
            target.window = WindowArgument(argv[++i]);
        } else if (argument == L"--timeout" && hasValue) {
            target.timeoutMs = wcstoul(argv[++i], nullptr, 10);
        } else if (argument == L"--status" && hasValue) {
            // Decimal, or hexadecimal as HRESULTs are written (0x800C0005).
            target.status = static_cast<long>(wcstoll(argv[++i], nullptr, 0));
            target.errorOptions = true;
        } else if (argument == L"--frame") {
            target.frame = true;
            target.errorOptions = true;
        } else if (!target.hasAddress && argument.compare(0, 2, L"--") != 0) {
            target.address = argument;
            target.hasAddress = true;
        } else {
            target.valid = false;
        }
    }
    return target;
}

HWND Resolve(const Target& target)
{
    std::vector<HWND> standIns = StandInChannel::FindStandIns();
    if (target.window != nullptr) {
        for (HWND window : standIns) {
            if (window == target.window) {
                return window;
            }
        }
        ConsoleOutput::Error(L"no stand-in with handle " + ConsoleOutput::Handle(target.window));
        return nullptr;
    }
    if (target.index >= 0) {
        if (static_cast<size_t>(target.index) < standIns.size()) {
            return standIns[target.index];
        }
        ConsoleOutput::Error(L"no stand-in with index " + std::to_wstring(target.index) + L" ("
            + std::to_wstring(standIns.size()) + L" live)");
        return nullptr;
    }
    if (standIns.size() == 1) {
        return standIns[0];
    }
    ConsoleOutput::Error(std::to_wstring(standIns.size()) + L" stand-ins live: give --index or --hwnd");
    return nullptr;
}

// Keeps the prefix's desktop open until the process is ended. Wine closes a desktop about a second
// after the last process on it has gone and opens it again for the next program, which may start
// while the old one is still closing.
int Hold()
{
    if (CreateWindowExW(0, L"STATIC", L"standinctl hold", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr) == nullptr) {
        return ExitFailed;
    }
    ConsoleOutput::Line(L"holding");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}

int SendRequest(int argc, wchar_t** argv, ULONG_PTR command, bool needsAddress, const wchar_t* fallback = nullptr)
{
    Target target = ParseTarget(argc, argv, 2);
    if (fallback != nullptr && !target.hasAddress) {
        target.address = fallback;
        target.hasAddress = true;
    }
    bool navigateError = command == ControlChannel::NavigateErrorRequest;
    if (!target.valid || target.hasAddress != needsAddress || (target.errorOptions && !navigateError)) {
        ConsoleOutput::Error(Usage);
        return ExitUsage;
    }
    HWND standIn = Resolve(target);
    if (standIn == nullptr) {
        return ExitNoStandIn;
    }
    std::wstring data = target.address;
    if (navigateError) {
        data = std::to_wstring(target.status) + (target.frame ? L" 1 " : L" 0 ") + target.address;
    }
    std::wstring reply;
    if (!StandInChannel::Request(standIn, command, data, target.timeoutMs, reply)) {
        return ExitFailed;
    }
    ConsoleOutput::Line(reply);
    return 0;
}

}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        ConsoleOutput::Error(Usage);
        return ExitUsage;
    }
    std::wstring command = argv[1];
    if (command == L"list" && argc == 2) {
        StandInChannel::PrintList();
        return 0;
    }
    if (command == L"windows" && (argc == 2 || (argc == 3 && std::wstring(argv[2]) == L"--all"))) {
        WindowInspector::ListTopLevel(argc == 3);
        return 0;
    }
    if (command == L"hold" && argc == 2) {
        return Hold();
    }
    if (command == L"foreground" && argc == 2) {
        WindowInspector::PrintForeground();
        return 0;
    }
    if (command == L"metrics" && argc == 2) {
        ConsoleOutput::Line(L"fullwidth=" + std::to_wstring(GetSystemMetrics(SM_CXFULLSCREEN)) + L"\tfullheight=" +
            std::to_wstring(GetSystemMetrics(SM_CYFULLSCREEN)) + L"\tsmallicon=" +
            std::to_wstring(GetSystemMetrics(SM_CXSMICON)));
        return 0;
    }
    if (command == L"restore" && argc == 4 && std::wstring(argv[2]) == L"--hwnd") {
        // As Alt+Tab brings back a minimised window: activated first, restored after.
        HWND window = WindowArgument(argv[3]);
        if (!IsWindow(window)) {
            ConsoleOutput::Error(L"no window " + ConsoleOutput::Handle(window));
            return ExitFailed;
        }
        SetForegroundWindow(window);
        ShowWindow(window, SW_RESTORE);
        ConsoleOutput::Line(L"restored=" + ConsoleOutput::Handle(window));
        return 0;
    }
    if (command == L"accessible" && (argc == 4 || argc == 6) && std::wstring(argv[2]) == L"--hwnd" &&
        (argc == 4 || std::wstring(argv[4]) == L"--press")) {
        HWND window = WindowArgument(argv[3]);
        return AccessibleProbe::Print(window, argc == 6 ? argv[5] : nullptr);
    }
    // The requests that go to a stand-in: the command, whether it takes an address, and the one it
    // takes when none is given.
    const struct {
        const wchar_t* name;
        ULONG_PTR request;
        bool needsAddress;
        const wchar_t* fallback;
    } requests[] = {{L"navigate", ControlChannel::NavigateRequest, true, nullptr},
        {L"newwindow3", ControlChannel::NewWindow3Request, true, nullptr},
        {L"newwindow2", ControlChannel::NewWindow2Request, false, nullptr},
        {L"windowclosing", ControlChannel::WindowClosingRequest, false, nullptr},
        {L"beforenavigate", ControlChannel::BeforeNavigateRequest, true, nullptr},
        {L"security", ControlChannel::SecurityProbeRequest, true, nullptr},
        {L"navigateerror", ControlChannel::NavigateErrorRequest, true, nullptr},
        {L"copy", ControlChannel::CopyRequest, true, nullptr}, {L"stop", ControlChannel::StopRequest, false, nullptr},
        {L"alert", ControlChannel::AlertRequest, true, L"Hello from the page"}};
    for (const auto& request : requests) {
        if (command == request.name) {
            return SendRequest(argc, argv, request.request, request.needsAddress, request.fallback);
        }
    }
    // The clipboard's text as another program pastes it.
    if (command == L"clipboard" && argc == 2) {
        std::wstring text;
        if (OpenClipboard(nullptr)) {
            HANDLE data = GetClipboardData(CF_UNICODETEXT);
            const wchar_t* locked = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
            if (locked != nullptr) {
                text = locked;
                GlobalUnlock(data);
            }
            CloseClipboard();
        }
        ConsoleOutput::Line(L"text=" + text);
        return 0;
    }
    // As a program, the task manager or the taskbar asks a window to close: WM_CLOSE, posted.
    if (command == L"close" && argc == 4 && std::wstring(argv[2]) == L"--hwnd") {
        HWND window = WindowArgument(argv[3]);
        bool posted = IsWindow(window) && PostMessageW(window, WM_CLOSE, 0, 0);
        ConsoleOutput::Line(posted ? L"posted=1" : L"posted=0");
        return posted ? 0 : ExitFailed;
    }
    // As the system menu, the taskbar or the shell asks a window to minimise or restore: posted.
    if (command == L"syscommand" && argc == 5 && std::wstring(argv[2]) == L"--hwnd") {
        HWND window = WindowArgument(argv[3]);
        WPARAM code = wcstoul(argv[4], nullptr, 0);
        bool posted = IsWindow(window) && PostMessageW(window, WM_SYSCOMMAND, code, 0);
        ConsoleOutput::Line(posted ? L"posted=1" : L"posted=0");
        return posted ? 0 : ExitFailed;
    }
    ConsoleOutput::Error(Usage);
    return ExitUsage;
}
