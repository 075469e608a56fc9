// DirectSound vocabulary over SDL2_mixer: a sound device and static sound
// buffers made from wave files, each on a channel of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/error.h"

namespace dexlora {

inline constexpr int32_t DSSCL_NORMAL = 1;
inline constexpr int32_t DSBCAPS_STATIC = 2;
inline constexpr int32_t DSBCAPS_CTRLVOLUME = 128;

struct DSBUFFERDESC {
    int32_t lFlags = 0;
};

struct WAVEFORMATEX {
    int16_t nFormatTag = 0;
    int16_t nChannels = 0;
    int32_t lSamplesPerSec = 0;
    int16_t nBitsPerSample = 0;
};

class DirectSoundBuffer {
public:
    ~DirectSoundBuffer();
    DirectSoundBuffer(const DirectSoundBuffer&) = delete;
    DirectSoundBuffer& operator=(const DirectSoundBuffer&) = delete;

    void Stop();
    void SetCurrentPosition(int32_t position);
    void Play(int32_t flags);
    // Hundredths of a decibel, 0 = full volume, -10000 = silence.
    void SetVolume(int32_t volume);
    // Whether the sound is playing now (false when there is no audio device).
    bool IsPlaying() const;
    // Playback position in bytes of the original wave data; 0 after
    // SetCurrentPosition(0), even with no audio device.
    int32_t GetCurrentPosition() const;

    struct Impl;
    explicit DirectSoundBuffer(std::unique_ptr<Impl> impl);

private:
    std::unique_ptr<Impl> impl_;
};

using SoundBufferPtr = std::shared_ptr<DirectSoundBuffer>;

class DirectSound {
public:
    DirectSound();
    ~DirectSound();
    DirectSound(const DirectSound&) = delete;
    DirectSound& operator=(const DirectSound&) = delete;

    void SetCooperativeLevel(int64_t hWnd, int32_t level);
    // A wave file (8- or 16-bit PCM, mono or stereo, any rate) in a buffer; the
    // format record is filled from the file. A missing or bad file raises
    // RuntimeError, with or without an audio device.
    SoundBufferPtr CreateSoundBufferFromFile(std::string_view fileName, DSBUFFERDESC& desc,
                                             WAVEFORMATEX& format);
    // Whether sound is really heard (false on a machine with no audio device).
    bool HasAudio() const;

private:
    bool audio_ = false;
};

using DirectSoundPtr = std::shared_ptr<DirectSound>;

DirectSoundPtr DirectSoundCreate(std::string_view guid);

}  // namespace dexlora
