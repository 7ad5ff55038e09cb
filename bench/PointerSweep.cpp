#include "bench/PointerSweep.h"

#include "bench/PresentProbe.h"
#include "bench/QpcClock.h"

PointerSweep::PointerSweep(std::vector<RECT> buttonRects)
    : model(std::move(buttonRects))
    , drawn(model.Count(), -1)
{
}

void PointerSweep::Run(HWND window, const std::vector<POINT>& path)
{
    PresentProbe probe;
    for (const POINT& point : path) {
        long long before = probe.Count();
        int64_t start = QpcClock::Now();
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
        int64_t end = QpcClock::Now();
        microseconds.push_back(QpcClock::Microseconds(start, end));
        presents.push_back(probe.Count() - before);

        size_t count = model.Move(point);
        size_t changes = 0;
        for (size_t i = 0; i < count; ++i) {
            if (drawn[i] != model.State(i)) {
                drawn[i] = model.State(i);
                ++changes;
            }
        }
        reached.push_back(count);
        imageChanges.push_back(changes);
    }
    partialPresents = probe.PartialCount();
}

std::vector<double> PointerSweep::ChangingMoveTimes() const
{
    std::vector<double> times;
    for (size_t i = 0; i < microseconds.size(); ++i) {
        if (imageChanges[i] > 0)
            times.push_back(microseconds[i]);
    }
    return times;
}
