// DirectSound vocabulary over SDL2_mixer: a sound device and static sound
// buffers made from wave files, each on a channel of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/core/error.h"

namespace dexlora {

inline constexpr int32_t DSSCL_NORMAL = 1;
inline constexpr int32_t DSBCAPS_STATIC = 2;
inline constexpr int32_t DSBCAPS_CTRLVOLUME = 128;
inline constexpr int32_t DSBPLAY_LOOPING = 1;

struct DSBUFFERDESC {
    int32_t lFlags = 0;
};

struct WAVEFORMATEX {
    int16_t nFormatTag = 0;
    int16_t nChannels = 0;
    int32_t lSamplesPerSec = 0;
    int16_t nBitsPerSample = 0;
};

// The opened mixer, shared by the device and every buffer made from it, so that
// no sound outlives the mixer it plays in; audio closes when the last goes.
class AudioOutput;

class DirectSoundBuffer {
public:
    ~DirectSoundBuffer();
    DirectSoundBuffer(const DirectSoundBuffer&) = delete;
    DirectSoundBuffer& operator=(const DirectSoundBuffer&) = delete;

    // Stops, keeping the position; Play then goes on from there.
    void Stop();
    // Moves the position (bytes of wave data); a playing sound jumps there.
    void SetCurrentPosition(int32_t position);
    // Plays from the position to the end (DSBPLAY_LOOPING: over and over).
    // A sound already playing goes on; one that reached its end starts again.
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
    std::shared_ptr<AudioOutput> output_;  // null when there is no audio
};

using DirectSoundPtr = std::shared_ptr<DirectSound>;

DirectSoundPtr DirectSoundCreate(std::string_view guid);

}  // namespace dexlora
