#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <numeric>
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
#include "resources/ResourceIds.h"
#include "toolkit/GdiObject.h"
#include "toolkit/SurfaceBitmap.h"
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
// WM_CREATE (the page) begun and ended, the skin's first present, created, shown with its page,
// and the first complete frame (the page painted too).
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
    login.PaintPage();
    int64_t complete = QpcClock::Now();

    report.Add(key + ".toolkit_ms", QpcClock::Milliseconds(origin, toolkit));
    report.Add(key + ".constructed_ms", QpcClock::Milliseconds(origin, constructed));
    report.Add(key + ".create_message_start_ms", QpcClock::Milliseconds(origin, login.CreateMessageStart()));
    report.Add(key + ".create_message_end_ms", QpcClock::Milliseconds(origin, login.CreateMessageEnd()));
    report.Add(key + ".first_present_ms", QpcClock::Milliseconds(origin, probe.FirstPresent()));
    report.Add(key + ".created_ms", QpcClock::Milliseconds(origin, created));
    report.Add(key + ".shown_ms", QpcClock::Milliseconds(origin, shown));
    report.Add(key + ".complete_ms", QpcClock::Milliseconds(origin, complete));
    report.Add(key + ".visible", IsWindowVisible(login.GetHandle()) ? 1 : 0);
    report.Add(key + ".page_visible", IsWindowVisible(login.PageHandle()) ? 1 : 0);
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
        ImagePtr first = manager->LoadPngResource(IMAGE_MINIMIZE_NORMAL, L"PNG");
        int64_t firstLoaded = QpcClock::Now();
        std::vector<ImagePtr> others;
        for (WORD id = IMAGE_MINIMIZE_HOVER; id <= IMAGE_SITE_PRESSED; ++id)
            others.push_back(manager->LoadPngResource(id, L"PNG"));
        int64_t othersLoaded = QpcClock::Now();
        ImagePtr skin = manager->LoadPngResource(IMAGE_SKIN, L"PNG");
        int64_t skinLoaded = QpcClock::Now();
        int width = static_cast<int>(skin->GetWidth());
        int height = static_cast<int>(skin->GetHeight());
        {
            GdiObject<HBITMAP> bitmap(CreateSurfaceBitmap(width, height));
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

// What each window must present for a move: ours once when any image changes; the rule before
// once per image that changes; the literal one once per button reached.
enum class Prediction { OncePerChangingMove, OncePerImageChange, OncePerButtonReached };

bool CheckAndReport(Report& report, const std::string& key, const PointerSweep& sweep, Prediction prediction)
{
    long long idleMoves = 0, idlePresents = 0, changingMoves = 0, changingPresents = 0, expected = 0, wrong = 0;
    long long most = 0;
    std::vector<double> idleTimes, changingTimes;
    for (size_t i = 0; i < sweep.presents.size(); ++i) {
        long long changes = static_cast<long long>(sweep.imageChanges[i]);
        long long predicted = prediction == Prediction::OncePerButtonReached ? static_cast<long long>(sweep.reached[i])
            : prediction == Prediction::OncePerImageChange                 ? changes
                                                                           : (changes > 0 ? 1 : 0);
        expected += predicted;
        most = std::max(most, sweep.presents[i]);
        if (sweep.presents[i] != predicted)
            ++wrong;
        if (changes == 0) {
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
    report.Add(key + ".most_presents_in_a_move", static_cast<double>(most));
    report.Add(key + ".first_move_presents", sweep.presents.empty() ? 0.0 : static_cast<double>(sweep.presents[0]));
    report.Add(key + ".partial_presents", static_cast<double>(sweep.partialPresents));
    report.Add(key + ".image_changes", static_cast<double>(std::accumulate(sweep.imageChanges.begin(),
        sweep.imageChanges.end(), static_cast<size_t>(0))));
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

// Sends the path to a fresh, shown window and checks its presents against the prediction.
template <typename Window, typename... Arguments>
PointerSweep SweepWindow(Report& report, const std::string& key, const std::vector<POINT>& path,
    Prediction prediction, bool& right, Arguments... arguments)
{
    Window window(arguments...);
    window.Create();
    window.Show();
    // The real pointer rests on opaque skin beside the hole, on no button: the window asks to be
    // told when the pointer leaves it, and it must not have left while the moves are sent.
    RECT rect;
    GetWindowRect(window.GetHandle(), &rect);
    SetCursorPos(rect.left + 460, rect.top + 600);
    PointerSweep sweep(window.ButtonRects());
    sweep.Run(window.GetHandle(), path);
    right = CheckAndReport(report, key, sweep, prediction) && right;
    return sweep;
}

int Sweep(size_t moves, size_t baselineMoves)
{
    std::vector<POINT> path = SweepPath::Make(moves);
    std::vector<POINT> literalPath(path.begin(), path.begin() + std::min(moves, baselineMoves));
    Report report;
    bool right = true;
    PointerSweep ours = SweepWindow<LoginProbe>(report, "sweep.ours", path, Prediction::OncePerChangingMove, right);
    long long overButtons = 0;
    for (size_t reached : ours.reached)
        overButtons += reached < 6 ? 1 : 0;
    report.Add("sweep.moves_over_buttons", static_cast<double>(overButtons));
    PointerSweep previous = SweepWindow<LiteralLoginWind>(report, "sweep.previous", path,
        Prediction::OncePerImageChange, right, LiteralLoginWind::EveryImageChange);
    PointerSweep literal = SweepWindow<LiteralLoginWind>(report, "sweep.literal", literalPath,
        Prediction::OncePerButtonReached, right, LiteralLoginWind::EveryButtonReached);

    Summary oursMoves = Summary::Of(ours.microseconds);
    Summary literalMoves = Summary::Of(literal.microseconds);
    if (oursMoves.mean > 0 && oursMoves.median > 0) {
        report.Add("sweep.ratio_mean", literalMoves.mean / oursMoves.mean);
        report.Add("sweep.ratio_median", literalMoves.median / oursMoves.median);
    }
    // The same moves, the image-changing ones only: what gathering the presents and cutting them
    // to the changed rectangle saves.
    Summary oursChanging = Summary::Of(ours.ChangingMoveTimes());
    Summary previousChanging = Summary::Of(previous.ChangingMoveTimes());
    if (oursChanging.mean > 0)
        report.Add("sweep.previous_over_ours_changing_mean", previousChanging.mean / oursChanging.mean);
    report.Print();
    return right ? 0 : 1;
}

// Whole-surface presents and presents of one link button's rectangle, alternated on one window.
int Present(size_t count)
{
    const RECT button = {542, 405, 622, 442};
    LoginProbe window;
    window.Create();
    window.Show();
    window.GetSurface().Present();
    PresentProbe probe;
    std::vector<double> whole, part;
    for (size_t i = 0; i < count; ++i) {
        int64_t start = QpcClock::Now();
        window.GetSurface().Present();
        int64_t presented = QpcClock::Now();
        window.GetSurface().Changed(button);
        window.GetSurface().PresentChanges();
        whole.push_back(QpcClock::Microseconds(start, presented));
        part.push_back(QpcClock::Microseconds(presented, QpcClock::Now()));
    }
    Report report;
    report.Add("present.us_per_call", Summary::Of(whole));
    report.Add("present.us_per_dirty_call", Summary::Of(part));
    report.Add("present.dirty_width", button.right - button.left);
    report.Add("present.dirty_height", button.bottom - button.top);
    report.Add("present.width", window.Width());
    report.Add("present.height", window.Height());
    report.Add("present.presents", static_cast<double>(probe.Count()));
    report.Add("present.partial_presents", static_cast<double>(probe.PartialCount()));
    report.Print();
    bool right = probe.Count() == static_cast<long long>(2 * count) && probe.PartialCount() == static_cast<long long>(count);
    return right ? 0 : 1;
}

// A library named with --keep-loaded stays loaded across the cycles, also after they end. The
// launch cycle holds the thread's apartment, so the page's control stays loaded between its hosts
// as well (before it did, it was loaded and unloaded with every page host).
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
