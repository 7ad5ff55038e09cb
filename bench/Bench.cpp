#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/LaunchCycles.h"
#include "bench/LiteralLoginWind.h"
#include "bench/LoginProbe.h"
#include "bench/PointerSweep.h"
#include "bench/PresentProbe.h"
#include "bench/QpcClock.h"
#include "bench/Report.h"
#include "bench/Summary.h"
#include "bench/SweepPath.h"
#include "toolkit/GdiObject.h"
#include "toolkit/MemoryDC.h"

// The launcher's benchmarks, one per process: bench.exe startup | parts | sweep | present | cycles.
// Each prints its figures as one JSON object; scripts/bench runs them and lays out the table.

namespace {

const wchar_t usage[] = L"usage: bench startup\n"
                        L"       bench parts [--rounds N]\n"
                        L"       bench sweep [--moves N] [--baseline-moves N]\n"
                        L"       bench present [--count N]\n"
                        L"       bench cycles [--count N] [--keep-loaded DLL]\n";

// The value of --name among the arguments, or the fallback (null for text).
size_t Option(int argc, wchar_t** argv, const wchar_t* name, size_t fallback)
{
    for (int i = 2; i + 1 < argc; ++i) {
        if (wcscmp(argv[i], name) == 0)
            return static_cast<size_t>(wcstoul(argv[i + 1], nullptr, 10));
    }
    return fallback;
}

const wchar_t* TextOption(int argc, wchar_t** argv, const wchar_t* name)
{
    for (int i = 2; i + 1 < argc; ++i) {
        if (wcscmp(argv[i], name) == 0)
            return argv[i + 1];
    }
    return nullptr;
}

std::vector<double> AsDoubles(const std::vector<long long>& values)
{
    return std::vector<double>(values.begin(), values.end());
}

// Opens a login window as the launcher does, up to shown, and reports when each step ended,
// counted from origin: toolkit (GDI+), constructed (the buttons' images), the window's
// WM_CREATE (the page) begun and ended, the skin's first present, created, shown.
bool OpenLogin(Report& report, const std::string& key, int64_t origin)
{
    PresentProbe probe;
    int64_t toolkit = QpcClock::Now();
    LoginProbe login;
    int64_t constructed = QpcClock::Now();
    login.Create();
    int64_t created = QpcClock::Now();
    login.Show();
    int64_t shown = QpcClock::Now();

    report.Add(key + ".toolkit_ms", QpcClock::Milliseconds(origin, toolkit));
    report.Add(key + ".constructed_ms", QpcClock::Milliseconds(origin, constructed));
    report.Add(key + ".create_message_start_ms", QpcClock::Milliseconds(origin, login.CreateMessageStart()));
    report.Add(key + ".create_message_end_ms", QpcClock::Milliseconds(origin, login.CreateMessageEnd()));
    report.Add(key + ".first_present_ms", QpcClock::Milliseconds(origin, probe.FirstPresent()));
    report.Add(key + ".created_ms", QpcClock::Milliseconds(origin, created));
    report.Add(key + ".shown_ms", QpcClock::Milliseconds(origin, shown));
    report.Add(key + ".visible", IsWindowVisible(login.GetHandle()) ? 1 : 0);
    report.Add(key + ".presents", static_cast<double>(probe.Count()));
    return probe.FirstPresent() != 0;
}

// The launcher's start, then the same window opened a second time in the same process: what
// the second one no longer pays was one-time initialisation (libraries, codecs, COM).
int Startup(int64_t entry, int64_t entryUnixNs)
{
    Report report;
    report.AddInteger("startup.pid", static_cast<long long>(GetCurrentProcessId()));
    report.AddInteger("startup.entry_unix_ns", entryUnixNs);
    bool presented = OpenLogin(report, "startup.cold", entry);
    presented = OpenLogin(report, "startup.warm", QpcClock::Now()) && presented;
    report.Print();
    return presented ? 0 : 1;
}

// The steps of opening the login window that need no window, timed on their own: the first
// PNG of the process, the buttons' other 17, the skin, and a skin-sized surface with the skin
// drawn on it. The first round is cold; the later ones show the cost without initialisation.
int Parts(size_t rounds)
{
    WindManager* manager = WindManager::Instance();
    std::vector<double> firstPng, otherPngs, skinLoad, skinDraw;
    for (size_t round = 0; round < rounds; ++round) {
        int64_t start = QpcClock::Now();
        ImagePtr first = manager->LoadPngResource(102, L"PNG");
        int64_t firstLoaded = QpcClock::Now();
        std::vector<ImagePtr> others;
        for (WORD id = 103; id <= 119; ++id)
            others.push_back(manager->LoadPngResource(id, L"PNG"));
        int64_t othersLoaded = QpcClock::Now();
        ImagePtr skin = manager->LoadPngResource(101, L"PNG");
        int64_t skinLoaded = QpcClock::Now();
        int width = static_cast<int>(skin->GetWidth());
        int height = static_cast<int>(skin->GetHeight());
        {
            BITMAPINFO info = {};
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            void* bits = nullptr;
            GdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
            MemoryDC dc;
            dc.Create(nullptr);
            dc.Select(bitmap.Get());
            Gdiplus::Graphics graphics(dc.Get());
            graphics.DrawImage(skin.get(), 0, 0, width, height);
        }
        int64_t skinDrawn = QpcClock::Now();
        firstPng.push_back(QpcClock::Milliseconds(start, firstLoaded));
        otherPngs.push_back(QpcClock::Milliseconds(firstLoaded, othersLoaded));
        skinLoad.push_back(QpcClock::Milliseconds(othersLoaded, skinLoaded));
        skinDraw.push_back(QpcClock::Milliseconds(skinLoaded, skinDrawn));
    }
    Report report;
    report.AddList("parts.first_png_ms", firstPng);
    report.AddList("parts.other_17_pngs_ms", otherPngs);
    report.AddList("parts.skin_load_ms", skinLoad);
    report.AddList("parts.skin_surface_and_draw_ms", skinDraw);
    report.Print();
    return 0;
}

// Our buttons present exactly when a button's image changes; the literal ones once per button reached.
bool CheckAndReport(Report& report, const std::string& key, const PointerSweep& sweep, bool literal)
{
    long long idleMoves = 0, idlePresents = 0, changingMoves = 0, changingPresents = 0, expected = 0, wrong = 0;
    std::vector<double> idleTimes, changingTimes;
    for (size_t i = 0; i < sweep.presents.size(); ++i) {
        long long predicted = static_cast<long long>(literal ? sweep.reached[i] : sweep.imageChanges[i]);
        expected += predicted;
        if (sweep.presents[i] != predicted)
            ++wrong;
        if (sweep.imageChanges[i] == 0) {
            ++idleMoves;
            idlePresents += sweep.presents[i];
            idleTimes.push_back(sweep.microseconds[i]);
        } else {
            ++changingMoves;
            changingPresents += sweep.presents[i];
            changingTimes.push_back(sweep.microseconds[i]);
        }
    }
    Summary presents = Summary::Of(AsDoubles(sweep.presents));
    report.Add(key + ".us_per_move", Summary::Of(sweep.microseconds));
    report.Add(key + ".us_per_idle_move", Summary::Of(idleTimes));
    report.Add(key + ".us_per_changing_move", Summary::Of(changingTimes));
    report.Add(key + ".moves", static_cast<double>(sweep.presents.size()));
    report.Add(key + ".presents", presents.total);
    report.Add(key + ".presents_per_move", presents.mean);
    report.Add(key + ".presents_expected", static_cast<double>(expected));
    report.Add(key + ".idle_moves", static_cast<double>(idleMoves));
    report.Add(key + ".presents_on_idle_moves", static_cast<double>(idlePresents));
    report.Add(key + ".changing_moves", static_cast<double>(changingMoves));
    report.Add(key + ".presents_on_changing_moves", static_cast<double>(changingPresents));
    report.Add(key + ".moves_with_wrong_count", static_cast<double>(wrong));
    if (wrong)
        fprintf(stderr, "%s: %lld of %zu moves presented other than predicted (%.0f presents, %lld expected)\n",
            key.c_str(), wrong, sweep.presents.size(), presents.total, expected);
    return wrong == 0;
}

int Sweep(size_t moves, size_t baselineMoves)
{
    std::vector<POINT> path = SweepPath::Make(moves);
    Report report;
    bool right = true;
    Summary ours, literal;
    {
        LoginProbe window;
        window.Create();
        window.Show();
        PointerSweep sweep(window.ButtonRects());
        sweep.Run(window.GetHandle(), path);
        right = CheckAndReport(report, "sweep.ours", sweep, false) && right;
        long long overButtons = 0;
        for (size_t reached : sweep.reached)
            overButtons += reached < window.ButtonRects().size() ? 1 : 0;
        report.Add("sweep.moves_over_buttons", static_cast<double>(overButtons));
        ours = Summary::Of(sweep.microseconds);
    }
    {
        LiteralLoginWind window;
        window.Create();
        window.Show();
        PointerSweep sweep(window.ButtonRects());
        sweep.Run(window.GetHandle(), std::vector<POINT>(path.begin(), path.begin() + std::min(moves, baselineMoves)));
        right = CheckAndReport(report, "sweep.literal", sweep, true) && right;
        literal = Summary::Of(sweep.microseconds);
    }
    if (ours.mean > 0 && ours.median > 0) {
        report.Add("sweep.ratio_mean", literal.mean / ours.mean);
        report.Add("sweep.ratio_median", literal.median / ours.median);
    }
    report.Print();
    return right ? 0 : 1;
}

int Present(size_t count)
{
    LoginProbe window;
    window.Create();
    window.Show();
    PresentProbe probe;
    std::vector<double> times;
    for (size_t i = 0; i < count; ++i) {
        int64_t start = QpcClock::Now();
        window.PresentSurface();
        times.push_back(QpcClock::Microseconds(start, QpcClock::Now()));
    }
    Report report;
    report.Add("present.us_per_call", Summary::Of(times));
    report.Add("present.width", window.Width());
    report.Add("present.height", window.Height());
    report.Add("present.presents", static_cast<double>(probe.Count()));
    report.Print();
    return probe.Count() == static_cast<long long>(count) ? 0 : 1;
}

// A library named with --keep-loaded stays loaded across the cycles: the page's control is
// otherwise loaded and unloaded with every page host, and what that costs is the control's.
int Cycles(size_t count, const wchar_t* keepLoaded)
{
    HMODULE kept = keepLoaded ? LoadLibraryW(keepLoaded) : nullptr;
    if (keepLoaded && !kept) {
        fwprintf(stderr, L"cannot load %ls\n", keepLoaded);
        return 1;
    }
    std::vector<double> samples = LaunchCycles().Run(static_cast<int>(count));
    if (kept)
        FreeLibrary(kept);
    Report report;
    report.AddList("cycles.resident_kib", samples);
    report.Add("cycles.completed", static_cast<double>(samples.size() - 1));
    report.Print();
    return samples.size() == count + 1 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int64_t entry = QpcClock::Now();
    int64_t entryUnixNs = QpcClock::UnixNanoseconds();
    std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"startup")
        return Startup(entry, entryUnixNs);
    if (mode == L"sweep") {
        size_t moves = Option(argc, argv, L"--moves", 10000);
        return Sweep(moves, Option(argc, argv, L"--baseline-moves", moves));
    }
    if (mode == L"parts")
        return Parts(Option(argc, argv, L"--rounds", 10));
    if (mode == L"present")
        return Present(Option(argc, argv, L"--count", 200));
    if (mode == L"cycles")
        return Cycles(Option(argc, argv, L"--count", 30), TextOption(argc, argv, L"--keep-loaded"));
    fwprintf(stderr, L"%ls", usage);
    return 2;
}
