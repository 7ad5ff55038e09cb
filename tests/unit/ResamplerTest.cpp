#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "toolkit/Resampler.h"

namespace {

struct Image {
    Image(int w, int h)
        : width(w)
        , height(h)
        , bytes(static_cast<size_t>(w) * h * 4)
    {
    }
    PixelRows Rows() { return PixelRows{bytes.data(), width, height, width * 4}; }
    BYTE& At(int x, int y, int channel) { return bytes[(static_cast<size_t>(y) * width + x) * 4 + channel]; }

    int width;
    int height;
    std::vector<BYTE> bytes;
};

// Premultiplied noise with opaque, transparent and part-transparent areas.
Image Noise(int width, int height)
{
    Image image(width, height);
    unsigned seed = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            int alpha = x < width / 3 ? 255 : (y < height / 2 ? 0 : static_cast<int>(seed >> 24));
            for (int c = 0; c < 3; ++c)
                image.At(x, y, c) = static_cast<BYTE>(((seed >> (8 * c)) & 0xFF) * alpha / 255);
            image.At(x, y, 3) = static_cast<BYTE>(alpha);
        }
    }
    return image;
}

double Lanczos2(double x)
{
    const double pi = 3.14159265358979323846;
    x = std::fabs(x);
    if (x < 1e-12)
        return 1.0;
    return x >= 2.0 ? 0.0 : 2.0 * std::sin(pi * x) * std::sin(pi * x / 2.0) / (pi * pi * x * x);
}

// The filter's weights of every source position along one axis for one pixel, mirrored at the
// borders and normalised, in double precision.
std::vector<double> Weights(int from, int to, int out)
{
    double scale = static_cast<double>(from) / to;
    double widen = scale > 2.0 ? scale / 2.0 : 1.0;
    double centre = (out + 0.5) * scale - 0.5;
    std::vector<double> weights(static_cast<size_t>(from), 0.0);
    double sum = 0.0;
    for (int i = -4 * from; i < 5 * from; ++i) {
        double w = Lanczos2((i - centre) / widen);
        int mirrored = i;
        while (mirrored < 0 || mirrored >= from)
            mirrored = mirrored < 0 ? -mirrored - 1 : 2 * from - 1 - mirrored;
        weights[mirrored] += w;
        sum += w;
    }
    for (double& w : weights)
        w /= sum;
    return weights;
}

double Clamped(double value, double high)
{
    return std::fmin(std::fmax(value, 0.0), high);
}

// Down, then across, in double precision over every source pixel, clamped to a byte's range
// between and after the passes and each colour to its alpha.
Image Reference(Image& from, int width, int height)
{
    std::vector<double> middle(static_cast<size_t>(from.width) * height * 4);
    for (int y = 0; y < height; ++y) {
        std::vector<double> down = Weights(from.height, height, y);
        for (int x = 0; x < from.width; ++x) {
            for (int c = 0; c < 4; ++c) {
                double sum = 0.0;
                for (int sy = 0; sy < from.height; ++sy)
                    sum += down[sy] * from.At(x, sy, c);
                middle[(static_cast<size_t>(y) * from.width + x) * 4 + c] = Clamped(sum, 255.0);
            }
        }
    }
    Image to(width, height);
    for (int x = 0; x < width; ++x) {
        std::vector<double> across = Weights(from.width, width, x);
        for (int y = 0; y < height; ++y) {
            double sums[4] = {};
            for (int sx = 0; sx < from.width; ++sx)
                for (int c = 0; c < 4; ++c)
                    sums[c] += across[sx] * middle[(static_cast<size_t>(y) * from.width + sx) * 4 + c];
            long alpha = std::lround(Clamped(sums[3], 255.0));
            for (int c = 0; c < 3; ++c)
                to.At(x, y, c) = static_cast<BYTE>(std::lround(Clamped(sums[c], alpha)));
            to.At(x, y, 3) = static_cast<BYTE>(alpha);
        }
    }
    return to;
}

} // namespace

TEST(Resampler, MatchesTheFilterComputedExactlySmallerAndLargerAndKeepsColoursWithinAlpha)
{
    // Within 1 of the exact filter, and at the same size, where the filter is the identity, the same image.
    const struct {
        SIZE size;
        int tolerance;
    } cases[] = {{{30, 23}, 1}, {{25, 19}, 1}, {{35, 26}, 1}, {{40, 30}, 0}, {{61, 45}, 1}, {{13, 9}, 1}, {{1, 1}, 1}};
    Image source = Noise(40, 30);
    for (const auto& c : cases) {
        Image ours(c.size.cx, c.size.cy);
        ASSERT_TRUE(Resampler::Resample(source.Rows(), ours.Rows()));
        Image exact = Reference(source, c.size.cx, c.size.cy);
        int worst = 0;
        for (int y = 0; y < c.size.cy; ++y) {
            for (int x = 0; x < c.size.cx; ++x) {
                for (int ch = 0; ch < 4; ++ch)
                    worst = std::max(worst, std::abs(ours.At(x, y, ch) - exact.At(x, y, ch)));
                for (int ch = 0; ch < 3; ++ch)
                    ASSERT_LE(ours.At(x, y, ch), ours.At(x, y, 3)) << x << "," << y;
            }
        }
        EXPECT_LE(worst, c.tolerance) << c.size.cx << " x " << c.size.cy;
    }
    Image empty(0, 0);
    EXPECT_FALSE(Resampler::Resample(source.Rows(), empty.Rows()));
}

TEST(Resampler, AHoleInOpaqueArtLetsThroughNothingOutsideItsScaledRectangle)
{
    // A hole at (20, 18)-(57, 41) of an opaque 80 x 60 image, made three quarters as large.
    Image art(80, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            for (int c = 0; c < 4; ++c)
                art.At(x, y, c) = x >= 20 && x < 57 && y >= 18 && y < 41 ? 0 : static_cast<BYTE>(c == 3 ? 255 : 90);
    Image scaled(60, 45);
    ASSERT_TRUE(Resampler::Resample(art.Rows(), scaled.Rows()));
    // Outward: from 20 * 0.75 = 15 to 57 * 0.75 = 42.75, from 13.5 to 30.75.
    int leaks = 0;
    int inside = 0;
    for (int y = 0; y < 45; ++y) {
        for (int x = 0; x < 60; ++x) {
            bool withinHole = x >= 15 && x < 43 && y >= 13 && y < 31;
            leaks += !withinHole && scaled.At(x, y, 3) != 255;
            inside += withinHole && scaled.At(x, y, 3) == 0;
        }
    }
    EXPECT_EQ(leaks, 0);
    EXPECT_GE(inside, 26 * 16);
}

TEST(Resampler, ALargeImageIsTheSameInBothHalves)
{
    // Every row alike, so that every row of the result is the row resampled across alone.
    Image row = Noise(1200, 2);
    std::copy(row.bytes.begin(), row.bytes.begin() + 1200 * 4, row.bytes.begin() + 1200 * 4);
    Image tall(1200, 1000);
    for (int y = 0; y < 1000; ++y)
        std::copy(row.bytes.begin(), row.bytes.begin() + 1200 * 4, tall.bytes.begin() + static_cast<ptrdiff_t>(y) * 1200 * 4);
    Image ours(1300, 1100);
    ASSERT_TRUE(Resampler::Resample(tall.Rows(), ours.Rows()));
    Image exact = Reference(row, 1300, 2);
    int worst = 0;
    for (int y = 0; y < 1100; ++y)
        for (int i = 0; i < 1300 * 4; ++i)
            worst = std::max(worst, std::abs(ours.bytes[static_cast<size_t>(y) * 1300 * 4 + i] - exact.bytes[i]));
    EXPECT_LE(worst, 1);
}
