// Bilinear scaling of a finished frame into the window's surface.
#include "platform/detail/frame_scale.h"

#include <algorithm>
#include <cstring>

namespace dexlora::platform_detail {

namespace {

// The mixing loops in the widest vectors the processor has, where the
// compiler can pick them at run time.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
#define DEXLORA_WIDEST_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define DEXLORA_WIDEST_VECTORS
#endif

const uint32_t* Row(const SDL_Surface& s, int y) {
    return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s.pixels) + ptrdiff_t{y} * s.pitch);
}
uint32_t* Row(SDL_Surface& s, int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s.pixels) + ptrdiff_t{y} * s.pitch);
}

// a and b mixed byte by byte, weight out of 256 for b: a colour mixed with
// itself stays exact. Loops over bytes with 16-bit products, which the
// compiler turns into vector code.
DEXLORA_WIDEST_VECTORS void MixRows(const uint8_t* __restrict a, const uint8_t* __restrict b,
                                    uint8_t* __restrict out, int n, uint32_t weight) {
    const uint16_t take = uint16_t(weight), keep = uint16_t(256 - weight);
    for (int i = 0; i < n; ++i) out[i] = uint8_t(uint16_t(a[i] * keep + b[i] * take) >> 8);
}

// The same with a weight of its own for every byte.
DEXLORA_WIDEST_VECTORS void MixBytes(const uint8_t* __restrict a, const uint8_t* __restrict b,
                                     const uint8_t* __restrict weights, uint8_t* __restrict out, int n) {
    for (int i = 0; i < n; ++i) {
        const uint16_t take = weights[i], keep = uint16_t(256 - take);
        out[i] = uint8_t(uint16_t(a[i] * keep + b[i] * take) >> 8);
    }
}

}  // namespace

SDL_Rect FrameArea(int frameW, int frameH, int windowW, int windowH) {
    if (frameW <= 0 || frameH <= 0 || windowW <= 0 || windowH <= 0) return SDL_Rect{0, 0, 0, 0};
    // The larger side that fits, in whole pixels: width by the window's
    // width unless that makes the frame too tall.
    int w = windowW, h = int(int64_t{windowW} * frameH / frameW);
    if (h > windowH) {
        h = windowH;
        w = int(int64_t{windowH} * frameW / frameH);
    }
    return SDL_Rect{(windowW - w) / 2, (windowH - h) / 2, w, h};
}

std::vector<FrameScaler::Tap> FrameScaler::Taps(int from, int to) {
    std::vector<Tap> taps(size_t(std::max(to, 0)));
    for (int i = 0; i < to; ++i) {
        // The centre of target pixel i in source pixels, less a half: twice
        // that times `to` is a whole number.
        const int64_t twice = (2 * int64_t{i} + 1) * from - to;
        Tap& tap = taps[size_t(i)];
        if (twice > 0) {
            tap.first = int(twice / (2 * int64_t{to}));
            tap.weight = uint32_t((twice % (2 * int64_t{to})) * 256 / (2 * int64_t{to}));
        }
        if (tap.first >= from - 1) tap.first = from - 1, tap.weight = 0;
        tap.second = std::min(tap.first + 1, from - 1);
    }
    return taps;
}

void FrameScaler::ScaleRow(const uint32_t* row, uint32_t* out) {
    // The two source pixels of every target pixel side by side first, then
    // mixed in one pass over their bytes.
    for (int x = 0; x < areaW_; ++x) {
        left_[size_t(x)] = row[firsts_[size_t(x)]];
        right_[size_t(x)] = row[seconds_[size_t(x)]];
    }
    MixBytes(reinterpret_cast<const uint8_t*>(left_.data()), reinterpret_cast<const uint8_t*>(right_.data()),
             columnWeights_.data(), reinterpret_cast<uint8_t*>(out), areaW_ * 4);
}

void FrameScaler::Scale(const SDL_Surface& frame, SDL_Surface& target, const SDL_Rect& area) {
    if (area.w <= 0 || area.h <= 0 || area.x < 0 || area.y < 0 || area.x + area.w > target.w ||
        area.y + area.h > target.h || frame.w <= 0 || frame.h <= 0) {
        return;
    }
    if (area.w == frame.w && area.h == frame.h) {
        for (int y = 0; y < frame.h; ++y)
            std::memcpy(Row(target, area.y + y) + area.x, Row(frame, y), size_t(frame.w) * sizeof(uint32_t));
        return;
    }
    if (frame.w != frameW_ || frame.h != frameH_ || area.w != areaW_ || area.h != areaH_) {
        frameW_ = frame.w, frameH_ = frame.h, areaW_ = area.w, areaH_ = area.h;
        const std::vector<Tap> columns = Taps(frame.w, area.w);
        firsts_.resize(columns.size()), seconds_.resize(columns.size());
        columnWeights_.resize(columns.size() * 4);
        for (size_t x = 0; x < columns.size(); ++x) {
            firsts_[x] = columns[x].first, seconds_[x] = columns[x].second;
            std::fill_n(columnWeights_.begin() + ptrdiff_t(4 * x), 4, uint8_t(columns[x].weight));
        }
        rows_ = Taps(frame.h, area.h);
        for (auto& row : scaled_) row.assign(size_t(area.w), 0);
        left_.assign(size_t(area.w), 0), right_.assign(size_t(area.w), 0);
    }
    // Every source row the target's rows mix is scaled across once a frame:
    // consecutive target rows mostly share theirs.
    scaledRow_[0] = scaledRow_[1] = -1;
    auto scaled = [&](int sourceRow, int keep) -> const uint32_t* {
        for (int i = 0; i < 2; ++i)
            if (scaledRow_[i] == sourceRow) return scaled_[i].data();
        const int slot = scaledRow_[0] == keep ? 1 : 0;
        scaledRow_[slot] = sourceRow;
        ScaleRow(Row(frame, sourceRow), scaled_[slot].data());
        return scaled_[slot].data();
    };
    for (int y = 0; y < area.h; ++y) {
        const Tap& tap = rows_[size_t(y)];
        uint32_t* out = Row(target, area.y + y) + area.x;
        if (tap.weight == 0) {
            std::memcpy(out, scaled(tap.first, -1), size_t(area.w) * sizeof(uint32_t));
        } else {
            const uint32_t* upper = scaled(tap.first, -1);
            const uint32_t* lower = scaled(tap.second, tap.first);
            MixRows(reinterpret_cast<const uint8_t*>(upper), reinterpret_cast<const uint8_t*>(lower),
                    reinterpret_cast<uint8_t*>(out), area.w * 4, tap.weight);
        }
    }
}

}  // namespace dexlora::platform_detail
