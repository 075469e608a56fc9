// Wave file parsing with every field checked before a byte is played.
#include "platform/detail/wave_file.h"

#include <optional>
#include <string>

namespace dexlora::platform_detail {
namespace {

constexpr uint16_t WaveFormatPcm = 1;
constexpr uint16_t WaveFormatExtensible = 0xFFFE;
constexpr int32_t MaxSampleRate = 384000;

uint32_t Le16(std::string_view b, size_t at) {
    return static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8);
}

uint32_t Le32(std::string_view b, size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }

[[noreturn]] void BadWave(std::string_view fileName, std::string_view why) {
    throw RuntimeError(ErrDirectX, std::string(fileName) + ": " + std::string(why));
}

}  // namespace

uint64_t ConvertedFramesBound(uint64_t frames, uint32_t fromRate, uint32_t toRate) {
    // frames < 2^32 and toRate < 2^32: the product fits in 64 bits.
    return (frames * toRate + fromRate - 1) / fromRate + 1;
}

WaveData ParseWave(std::string_view b, std::string_view fileName) {
    if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "WAVE") {
        BadWave(fileName, "not a RIFF/WAVE file");
    }
    // The RIFF length is often wrong in files made by simple tools, so the
    // chunks are walked up to the real end of the file instead.
    std::optional<std::string_view> fmt, data;
    size_t pos = 12;
    while (pos + 8 <= b.size() && !(fmt && data)) {
        const std::string_view id = b.substr(pos, 4);
        const uint64_t size = Le32(b, pos + 4);
        pos += 8;
        if (size > b.size() - pos) {
            if (id == "data") BadWave(fileName, "sound data cut short");
            break;
        }
        const std::string_view body = b.substr(pos, static_cast<size_t>(size));
        if (id == "fmt " && !fmt) fmt = body;
        if (id == "data" && !data) data = body;
        pos += static_cast<size_t>(size) + (size & 1);  // chunks are padded to even sizes
    }
    if (!fmt || fmt->size() < 16) BadWave(fileName, "no format chunk");
    if (!data) BadWave(fileName, "no sound data");

    uint32_t tag = Le16(*fmt, 0);
    if (tag == WaveFormatExtensible && fmt->size() >= 26) tag = Le16(*fmt, 24);  // sub-format GUID
    const uint32_t channels = Le16(*fmt, 2);
    const uint32_t rate = Le32(*fmt, 4);
    const uint32_t bits = Le16(*fmt, 14);
    if (tag != WaveFormatPcm) BadWave(fileName, "not PCM sound");
    if (bits != 8 && bits != 16) BadWave(fileName, "only 8- and 16-bit sound is supported");
    if (channels != 1 && channels != 2) BadWave(fileName, "only mono and stereo sound is supported");
    if (rate == 0 || rate > MaxSampleRate) BadWave(fileName, "sample rate out of range");

    WaveData wave;
    wave.Format.nFormatTag = WaveFormatPcm;
    wave.Format.nChannels = static_cast<int16_t>(channels);
    wave.Format.lSamplesPerSec = static_cast<int32_t>(rate);
    wave.Format.nBitsPerSample = static_cast<int16_t>(bits);
    wave.BlockAlign = static_cast<int32_t>(channels * bits / 8);
    const size_t frames = data->size() / static_cast<size_t>(wave.BlockAlign);
    if (frames == 0) BadWave(fileName, "no sound data");
    wave.Samples = data->substr(0, frames * static_cast<size_t>(wave.BlockAlign));
    return wave;
}

}  // namespace dexlora::platform_detail
