#include "ui/PictureScaler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace tavrine::ui {
namespace {

struct Tap {
    int index;
    float weight;
};

// Catmull-Rom: sharp and without ringing to speak of; support 2.
float Kernel(float x) {
    x = std::fabs(x);
    if (x < 1.0f) return 1.5f * x * x * x - 2.5f * x * x + 1.0f;
    if (x < 2.0f) return -0.5f * x * x * x + 2.5f * x * x - 4.0f * x + 2.0f;
    return 0.0f;
}

// For each result position, the source positions it reads and their normalised weights.
std::vector<std::vector<Tap>> Taps(int from, int to) {
    const float scale = static_cast<float>(to) / static_cast<float>(from);
    const float widen = scale < 1.0f ? 1.0f / scale : 1.0f;
    const float support = 2.0f * widen;
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const float centre = (static_cast<float>(i) + 0.5f) / scale - 0.5f;
        const int first = static_cast<int>(std::floor(centre - support)) + 1;
        const int last = static_cast<int>(std::ceil(centre + support)) - 1;
        float sum = 0.0f;
        auto& row = taps[static_cast<std::size_t>(i)];
        for (int j = first; j <= last; ++j) {
            const float w = Kernel((static_cast<float>(j) - centre) / widen);
            if (w == 0.0f) continue;
            row.push_back({std::clamp(j, 0, from - 1), w});
            sum += w;
        }
        for (Tap& t : row) t.weight /= sum;
    }
    return taps;
}

using Premultiplied = std::array<float, 4>;  // blue, green, red (times coverage), coverage

}  // namespace

PixelPicture ScaleKeyed(const PixelPicture& source, int width, int height, std::uint32_t key) {
    PixelPicture out{std::max(width, 0), std::max(height, 0), {}};
    if (out.width == 0 || out.height == 0 || source.width <= 0 || source.height <= 0 ||
        source.pixels.size() < static_cast<std::size_t>(source.width) * source.height)
        return {out.width, out.height,
                std::vector<std::uint32_t>(static_cast<std::size_t>(out.width) * out.height, key)};
    key &= 0xFFFFFFu;
    const auto sw = static_cast<std::size_t>(source.width);
    const auto horizontal = Taps(source.width, out.width);
    const auto vertical = Taps(source.height, out.height);

    // Across first, into premultiplied floats of the result's width and the source's height.
    std::vector<Premultiplied> across(static_cast<std::size_t>(out.width) * source.height);
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t* row = &source.pixels[static_cast<std::size_t>(y) * sw];
        for (int x = 0; x < out.width; ++x) {
            Premultiplied sum{};
            for (const Tap& t : horizontal[static_cast<std::size_t>(x)]) {
                const std::uint32_t p = row[t.index] & 0xFFFFFFu;
                if (p == key) continue;  // see-through: no colour, no coverage
                sum[0] += t.weight * static_cast<float>(p & 0xFF);
                sum[1] += t.weight * static_cast<float>((p >> 8) & 0xFF);
                sum[2] += t.weight * static_cast<float>((p >> 16) & 0xFF);
                sum[3] += t.weight;
            }
            across[static_cast<std::size_t>(y) * out.width + x] = sum;
        }
    }

    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            Premultiplied sum{};
            for (const Tap& t : vertical[static_cast<std::size_t>(y)]) {
                const Premultiplied& q = across[static_cast<std::size_t>(t.index) * out.width + x];
                for (int c = 0; c < 4; ++c) sum[c] += t.weight * q[c];
            }
            std::uint32_t p = key;
            if (sum[3] >= 0.5f) {
                p = 0;
                for (int c = 0; c < 3; ++c) {
                    const float v = std::clamp(sum[c] / sum[3], 0.0f, 255.0f);
                    p |= static_cast<std::uint32_t>(std::lround(v)) << (8 * c);
                }
                // A covered pixel that lands on the key by chance would be punched out: one step
                // off in one channel keeps it visible.
                if (p == key) p ^= (key & 0xFF00u) ? 0x0100u : 0x0001u;
            }
            out.pixels[static_cast<std::size_t>(y) * out.width + x] = p;
        }
    }
    return out;
}

PixelPicture ScaleStripKeyed(const PixelPicture& strip, int count, int width, int height,
                             std::uint32_t key) {
    if (count <= 0 || width <= 0 || height <= 0 || strip.width < count || strip.height <= 0 ||
        strip.pixels.size() != static_cast<std::size_t>(strip.width) * strip.height)
        return {};
    const int from = strip.width / count;
    PixelPicture out{count * width, height, {}};
    out.pixels.resize(static_cast<std::size_t>(out.width) * height);
    for (int i = 0; i < count; ++i) {
        PixelPicture one{from, strip.height, {}};
        one.pixels.reserve(static_cast<std::size_t>(from) * strip.height);
        for (int y = 0; y < strip.height; ++y) {
            const auto row = strip.pixels.begin() + static_cast<std::ptrdiff_t>(y) * strip.width;
            one.pixels.insert(one.pixels.end(), row + i * from, row + (i + 1) * from);
        }
        const PixelPicture scaled = ScaleKeyed(one, width, height, key);
        for (int y = 0; y < height; ++y)
            std::copy_n(scaled.pixels.begin() + static_cast<std::ptrdiff_t>(y) * width, width,
                        out.pixels.begin() + static_cast<std::ptrdiff_t>(y) * out.width + i * width);
    }
    return out;
}

}  // namespace tavrine::ui
