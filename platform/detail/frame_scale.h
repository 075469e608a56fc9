// Private to platform/: scaling a finished frame into the window's surface
// on the processor, for the software present path.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace dexlora::platform_detail {

// Where a frame of frameW x frameH lies in a window of windowW x windowH:
// scaled as large as fits with its aspect kept, centred; bars around it.
SDL_Rect FrameArea(int frameW, int frameH, int windowW, int windowH);

// Fills an area of an XRGB8888 surface with an XRGB8888 frame scaled to the
// area's size: each pixel the mean of the four source pixels around its
// centre, weighted by distance (bilinear); an area of the frame's own size
// is a plain copy. Keeps what it worked out for the last sizes.
class FrameScaler {
public:
    void Scale(const SDL_Surface& frame, SDL_Surface& target, const SDL_Rect& area);

private:
    // For each target column (or row): the source one at or before its
    // centre and the one after it (the same at the far edge), and the
    // weight of the second, out of 256 (always less).
    struct Tap {
        int first = 0, second = 0;
        uint32_t weight = 0;
    };
    static std::vector<Tap> Taps(int from, int to);
    // One source row scaled across, into out.
    void ScaleRow(const uint32_t* row, uint32_t* out);

    int frameW_ = 0, frameH_ = 0, areaW_ = 0, areaH_ = 0;
    std::vector<int> firsts_, seconds_;   // the columns' taps
    std::vector<uint8_t> columnWeights_;  // their weights, one for each byte of a pixel
    std::vector<uint32_t> left_, right_;  // a row's source pixels, in target order
    std::vector<Tap> rows_;
    std::vector<uint32_t> scaled_[2];  // source rows scaled across
    int scaledRow_[2] = {-1, -1};      // which source row each holds
};

}  // namespace dexlora::platform_detail
