// Resamples premultiplied 32-bit pixels, one pass per axis in fixed point.
#include "toolkit/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Each pixel's weights sum to exactly this, so that an opaque neighbourhood stays opaque.
const int weightBits = 14;
const int one = 1 << weightBits;
// The rows between the passes keep this many bits below a byte's unit.
const int fractionBits = 6;
// Two lobes: sharp, and with one negative lobe only, a pixel beside a transparent area never
// comes out paler than its opaque neighbours.
const double lobes = 2.0;
const double pi = 3.14159265358979323846;

double Lanczos(double x)
{
    x = std::fabs(x);
    if (x < 1e-9)
        return 1.0;
    if (x >= lobes)
        return 0.0;
    double angle = pi * x;
    return lobes * std::sin(angle) * std::sin(angle / lobes) / (angle * angle);
}

// A coordinate outside [0, size) reflected back into it, as a mirror at each border.
int Mirror(int i, int size)
{
    while (i < 0 || i >= size)
        i = i < 0 ? -i - 1 : 2 * size - 1 - i;
    return i;
}

// Which source pixels, and how much of each, make each pixel along one axis.
class Axis {
public:
    Axis(int from, int to);

    int taps;
    std::vector<int> index;
    std::vector<int16_t> weight;
};

Axis::Axis(int from, int to)
{
    double scale = static_cast<double>(from) / to;
    // Down to half the size the filter reaches two source pixels each way, so that a pixel
    // outside a transparent area's scaled rectangle draws nothing from it but the negative lobe;
    // it widens for smaller sizes only, which would alias.
    double widen = std::max(1.0, scale / 2.0);
    double reach = lobes * widen;
    // Every source pixel closer than the reach: no more than twice the reach rounded up.
    taps = 2 * static_cast<int>(std::ceil(reach));
    index.resize(static_cast<size_t>(to) * taps);
    weight.resize(index.size());
    std::vector<double> exact(static_cast<size_t>(taps));
    for (int out = 0; out < to; ++out) {
        // Pixel centres: the first and last pixels of both sizes share their outer edges.
        double centre = (out + 0.5) * scale - 0.5;
        int first = static_cast<int>(std::floor(centre - reach)) + 1;
        double sum = 0.0;
        for (int k = 0; k < taps; ++k) {
            exact[k] = Lanczos((first + k - centre) / widen);
            sum += exact[k];
        }
        int total = 0;
        int largest = 0;
        size_t at = static_cast<size_t>(out) * taps;
        for (int k = 0; k < taps; ++k) {
            index[at + k] = Mirror(first + k, from);
            weight[at + k] = static_cast<int16_t>(std::lround(exact[k] / sum * one));
            total += weight[at + k];
            if (weight[at + k] > weight[at + largest])
                largest = k;
        }
        weight[at + largest] = static_cast<int16_t>(weight[at + largest] + one - total);
    }
}

inline int Clamp(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

// The pixels of each row from its first that is not wholly transparent (zero, premultiplied) to
// its last, exclusive; empty rows have first == last == 0. Art is mostly transparent around its
// shape, and no filter draws anything from there.
struct Span {
    int first;
    int last;
};

std::vector<Span> RowSpans(const PixelRows& rows)
{
    std::vector<Span> spans(static_cast<size_t>(rows.height), Span{0, 0});
    for (int y = 0; y < rows.height; ++y) {
        const auto* pixels = reinterpret_cast<const uint32_t*>(rows.bits + static_cast<ptrdiff_t>(y) * rows.stride);
        int first = 0;
        while (first < rows.width && !pixels[first])
            ++first;
        int last = rows.width;
        while (last > first && !pixels[last - 1])
            --last;
        if (first < last)
            spans[y] = Span{first, last};
    }
    return spans;
}

// What every row of one resample shares.
struct Resampling {
    const PixelRows& from;
    const PixelRows& to;
    Axis rows;
    Axis columns;
    std::vector<Span> sourceSpans;
    // The source pixels each target column draws from, first to last.
    std::vector<Span> reach;
};

// Target rows [first, last): each first down from the source rows, every column at once (the
// rows are contiguous) over the pixels that some row it draws from has, then across.
void ResampleRows(const Resampling& job, int firstRow, int lastRow)
{
    const PixelRows& from = job.from;
    const PixelRows& to = job.to;
    const Axis& rows = job.rows;
    const Axis& columns = job.columns;
    const size_t across = static_cast<size_t>(from.width) * 4;
    std::vector<int32_t> sums(across);
    std::vector<int16_t> middle(across);
    for (int y = firstRow; y < lastRow; ++y) {
        BYTE* out = to.bits + static_cast<ptrdiff_t>(y) * to.stride;
        const int* taps = &rows.index[static_cast<size_t>(y) * rows.taps];
        const int16_t* weights = &rows.weight[static_cast<size_t>(y) * rows.taps];
        Span span = {from.width, 0};
        for (int k = 0; k < rows.taps; ++k) {
            const Span& row = job.sourceSpans[static_cast<size_t>(taps[k])];
            if (row.first < row.last && weights[k]) {
                span.first = std::min(span.first, row.first);
                span.last = std::max(span.last, row.last);
            }
        }
        if (span.first >= span.last) {
            memset(out, 0, static_cast<size_t>(to.width) * 4);
            continue;
        }
        const size_t begin = static_cast<size_t>(span.first) * 4;
        const size_t end = static_cast<size_t>(span.last) * 4;
        std::fill(sums.begin() + begin, sums.begin() + end, 0);
        for (int k = 0; k < rows.taps; ++k) {
            const int32_t w = weights[k];
            if (!w)
                continue;
            const BYTE* line = from.bits + static_cast<ptrdiff_t>(taps[k]) * from.stride;
            for (size_t i = begin; i < end; ++i)
                sums[i] += line[i] * w;
        }
        // Clamped to a byte's range: the negative lobes of both passes then cannot multiply into
        // a loss of alpha diagonally beside a transparent corner.
        const int down = weightBits - fractionBits;
        std::fill(middle.begin(), middle.begin() + begin, int16_t(0));
        for (size_t i = begin; i < end; ++i)
            middle[i] = static_cast<int16_t>(Clamp((sums[i] + (1 << (down - 1))) >> down, 0, 255 << fractionBits));
        std::fill(middle.begin() + end, middle.end(), int16_t(0));

        // A pixel that draws only from outside the span is transparent.
        const int shift = weightBits + fractionBits;
        const int half = 1 << (shift - 1);
        for (int x = 0; x < to.width; ++x) {
            if (job.reach[x].last <= span.first || job.reach[x].first >= span.last) {
                memset(out + 4 * x, 0, 4);
                continue;
            }
            int32_t b = 0, g = 0, r = 0, a = 0;
            const int* at = &columns.index[static_cast<size_t>(x) * columns.taps];
            const int16_t* w = &columns.weight[static_cast<size_t>(x) * columns.taps];
            for (int k = 0; k < columns.taps; ++k) {
                const int16_t* pixel = middle.data() + 4 * at[k];
                b += pixel[0] * w[k];
                g += pixel[1] * w[k];
                r += pixel[2] * w[k];
                a += pixel[3] * w[k];
            }
            int alpha = Clamp((a + half) >> shift, 0, 255);
            out[4 * x] = static_cast<BYTE>(Clamp((b + half) >> shift, 0, alpha));
            out[4 * x + 1] = static_cast<BYTE>(Clamp((g + half) >> shift, 0, alpha));
            out[4 * x + 2] = static_cast<BYTE>(Clamp((r + half) >> shift, 0, alpha));
            out[4 * x + 3] = static_cast<BYTE>(alpha);
        }
    }
}

// The lower half of a large resample, on a second core.
struct LowerHalf {
    const Resampling* job;
    int firstRow;
};

DWORD WINAPI ResampleLowerHalf(void* half)
{
    auto* lower = static_cast<LowerHalf*>(half);
    ResampleRows(*lower->job, lower->firstRow, lower->job->to.height);
    return 0;
}

// Below this many target pixels a second thread costs more than it saves.
const int pixelsWorthAThread = 1 << 20;

} // namespace

bool Resampler::Resample(const PixelRows& from, const PixelRows& to)
{
    if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0 || !from.bits || !to.bits)
        return false;
    Resampling job = {from, to, Axis(from.height, to.height), Axis(from.width, to.width), RowSpans(from),
        std::vector<Span>(static_cast<size_t>(to.width))};
    for (int x = 0; x < to.width; ++x) {
        const int* at = &job.columns.index[static_cast<size_t>(x) * job.columns.taps];
        job.reach[x] = Span{*std::min_element(at, at + job.columns.taps), *std::max_element(at, at + job.columns.taps) + 1};
    }
    LowerHalf lower = {&job, to.height / 2};
    HANDLE helper = static_cast<long long>(to.width) * to.height >= pixelsWorthAThread
        ? CreateThread(nullptr, 0, &ResampleLowerHalf, &lower, 0, nullptr)
        : nullptr;
    ResampleRows(job, 0, helper ? lower.firstRow : to.height);
    if (helper) {
        WaitForSingleObject(helper, INFINITE);
        CloseHandle(helper);
    }
    return true;
}

void Resampler::Premultiply(const BYTE* from, BYTE* to, int count)
{
    for (int i = 0; i < count; ++i, from += 4, to += 4) {
        const unsigned alpha = from[3];
        for (int c = 0; c < 3; ++c)
            to[c] = static_cast<BYTE>((from[c] * alpha + 127) / 255);
        to[3] = static_cast<BYTE>(alpha);
    }
}
