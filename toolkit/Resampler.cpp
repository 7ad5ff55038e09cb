// Resamples premultiplied 32-bit pixels, one pass per axis in fixed point.
#include "toolkit/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
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

} // namespace

bool Resampler::Resample(const PixelRows& from, const PixelRows& to)
{
    if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0 || !from.bits || !to.bits)
        return false;
    Axis rows(from.height, to.height);
    Axis columns(from.width, to.width);

    // Down first, every column at once (the rows are contiguous), to rows of the new height.
    const size_t across = static_cast<size_t>(from.width) * 4;
    std::unique_ptr<int16_t[]> middle(new int16_t[across * to.height]);
    std::vector<int32_t> sums(across);
    for (int y = 0; y < to.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int k = 0; k < rows.taps; ++k) {
            int32_t w = rows.weight[static_cast<size_t>(y) * rows.taps + k];
            if (!w)
                continue;
            const BYTE* line = from.bits + static_cast<ptrdiff_t>(rows.index[static_cast<size_t>(y) * rows.taps + k])
                * from.stride;
            for (size_t i = 0; i < across; ++i)
                sums[i] += line[i] * w;
        }
        // Clamped to a byte's range: the negative lobes of both passes then cannot multiply into
        // a loss of alpha diagonally beside a transparent corner.
        int16_t* out = middle.get() + across * y;
        const int shift = weightBits - fractionBits;
        for (size_t i = 0; i < across; ++i)
            out[i] = static_cast<int16_t>(Clamp((sums[i] + (1 << (shift - 1))) >> shift, 0, 255 << fractionBits));
    }

    // Then across each of those rows to the new width.
    const int shift = weightBits + fractionBits;
    for (int y = 0; y < to.height; ++y) {
        const int16_t* line = middle.get() + across * y;
        BYTE* out = to.bits + static_cast<ptrdiff_t>(y) * to.stride;
        for (int x = 0; x < to.width; ++x) {
            int32_t b = 0, g = 0, r = 0, a = 0;
            const int* at = &columns.index[static_cast<size_t>(x) * columns.taps];
            const int16_t* w = &columns.weight[static_cast<size_t>(x) * columns.taps];
            for (int k = 0; k < columns.taps; ++k) {
                const int16_t* pixel = line + 4 * at[k];
                b += pixel[0] * w[k];
                g += pixel[1] * w[k];
                r += pixel[2] * w[k];
                a += pixel[3] * w[k];
            }
            const int half = 1 << (shift - 1);
            int alpha = Clamp((a + half) >> shift, 0, 255);
            out[4 * x] = static_cast<BYTE>(Clamp((b + half) >> shift, 0, alpha));
            out[4 * x + 1] = static_cast<BYTE>(Clamp((g + half) >> shift, 0, alpha));
            out[4 * x + 2] = static_cast<BYTE>(Clamp((r + half) >> shift, 0, alpha));
            out[4 * x + 3] = static_cast<BYTE>(alpha);
        }
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
