// DirectSound over SDL2_mixer: one mixer at 44100 Hz in stereo, and sound
// buffers converted to its format once (or taken as they are when already in
// it), each playing on a channel of its own.
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "platform/detail/media_file.h"
#include "platform/detail/sdl_internal.h"
#include "platform/detail/volume.h"
#include "platform/detail/wave_file.h"
#include "platform/sound.h"

namespace dexlora {

class AudioOutput {
    struct Passkey {};

public:
    // The mixer that is open now, or a newly opened one; null when the
    // machine has no usable audio device. The platform session closes it when
    // it ends, even while buffers still hold it: they fall silent.
    static std::shared_ptr<AudioOutput> Open() {
        static std::weak_ptr<AudioOutput> current;
        if (auto open = current.lock(); open && open->IsOpen()) return open;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
        if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return nullptr;
        }
        // Sounds are converted to the format the mixer got; a mixer that
        // cannot tell it is no usable device either.
        int frequency = 0, channels = 0;
        Uint16 format = 0;
        if (Mix_QuerySpec(&frequency, &format, &channels) == 0) {
            Mix_CloseAudio();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return nullptr;
        }
        auto output = std::make_shared<AudioOutput>(Passkey{}, frequency, format, channels);
        current = output;
        platform_detail::AtSessionEnd([weak = std::weak_ptr<AudioOutput>(output)] {
            if (auto open = weak.lock()) open->Close();
        });
        return output;
    }

    AudioOutput(Passkey, int frequency, SDL_AudioFormat format, int channels)
        : Rate(frequency),
          Format(format),
          Channels(channels),
          FrameBytes(static_cast<int>(SDL_AUDIO_BITSIZE(format) / 8) * channels) {}

    ~AudioOutput() { Close(); }

    bool IsOpen() const { return open_; }

    void Close() {
        if (!open_) return;
        open_ = false;
        Mix_HaltChannel(-1);
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // A channel no other buffer uses, at full volume; -1 when the mixer
    // cannot grow.
    int TakeChannel() {
        int channel;
        if (!free_.empty()) {
            channel = free_.back();
            free_.pop_back();
        } else {
            channel = used_;
            if (channel >= Mix_AllocateChannels(-1)) {
                // Grows in steps; growing keeps the channels already playing.
                if (Mix_AllocateChannels(channel + 8) <= channel) return -1;
            }
            ++used_;
        }
        Mix_Volume(channel, MIX_MAX_VOLUME);
        return channel;
    }

    void GiveBackChannel(int channel) {
        if (!open_) return;
        Mix_HaltChannel(channel);
        Mix_UnregisterAllEffects(channel);
        free_.push_back(channel);
    }

    int Rate = 0;
    SDL_AudioFormat Format = 0;
    int Channels = 0;
    int FrameBytes = 0;

private:
    bool open_ = true;
    int used_ = 0;
    std::vector<int> free_;
};

namespace {

// SDL's resampler looks this many input frames ahead.
constexpr uint64_t ResamplerLookaheadFrames = 512;
// The most its final flush may take; refuses rates up to about 10 Hz.
constexpr uint64_t MaxResamplerFlushBytes = 16u * 1024 * 1024;

// Waves up to this size are converted in one go.
constexpr size_t WholeConversionBytes = 4u * 1024 * 1024;

// The wave's samples in the mixer's format. Raises RuntimeError ErrDirectX
// when the converted sound would be larger than MaxConvertedSoundBytes, and
// answers nothing when SDL cannot convert.
// The size is bounded before anything is allocated, and the input goes to
// the converter in pieces of a bounded output, so SDL's own work buffers stay
// small too.
std::optional<std::vector<Uint8>> ConvertForMixer(const platform_detail::WaveData& wave, const AudioOutput& out,
                                                  std::string_view fileName) {
    const uint32_t fromRate = static_cast<uint32_t>(wave.Format.lSamplesPerSec);
    const uint32_t toRate = static_cast<uint32_t>(out.Rate);
    const uint64_t frames = wave.Samples.size() / static_cast<size_t>(wave.BlockAlign);
    const uint64_t bound =
        platform_detail::ConvertedFramesBound(frames, fromRate, toRate) * static_cast<uint64_t>(out.FrameBytes);
    if (out.FrameBytes <= 0 || toRate == 0 || bound > platform_detail::MaxConvertedSoundBytes) {
        throw RuntimeError(ErrDirectX, std::string(fileName) + ": sound too long for the mixer");
    }
    // SDL's resampler reads ahead by a fixed number of input frames and, at
    // the end, resamples that much silence in one go as floats: at a rate of
    // a few hertz that alone takes hundreds of megabytes.
    const uint64_t flushBytes = (ResamplerLookaheadFrames * toRate + fromRate - 1) / fromRate *
                                static_cast<uint64_t>(out.Channels) * sizeof(float);
    if (fromRate != toRate && flushBytes > MaxResamplerFlushBytes) {
        throw RuntimeError(ErrDirectX, std::string(fileName) + ": sample rate too low for the mixer");
    }
    const SDL_AudioFormat from = wave.Format.nBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    // A sound already in the mixer's format is taken as it is.
    if (from == out.Format && wave.Format.nChannels == out.Channels && fromRate == toRate) {
        return std::vector<Uint8>(wave.Samples.begin(), wave.Samples.end());
    }
    platform_detail::AudioStreamOwner stream(SDL_NewAudioStream(
        from, static_cast<Uint8>(wave.Format.nChannels), wave.Format.lSamplesPerSec, out.Format,
        static_cast<Uint8>(out.Channels), out.Rate));
    if (!stream) return std::nullopt;

    std::vector<Uint8> converted;
    converted.reserve(static_cast<size_t>(bound));
    // Moves what the stream holds into converted; false on an error or when
    // the stream produced more than the bound allows.
    auto drain = [&]() {
        const int available = SDL_AudioStreamAvailable(stream.get());
        if (available < 0 || static_cast<uint64_t>(available) > bound - converted.size()) return false;
        const size_t at = converted.size();
        converted.resize(at + static_cast<size_t>(available));
        const int got = SDL_AudioStreamGet(stream.get(), converted.data() + at, available);
        converted.resize(at + static_cast<size_t>(std::max(got, 0)));
        return got >= 0;
    };
    // A sound effect at a usual rate goes in whole, as it always has (SDL's
    // resampler ends a few frames differently when fed in pieces). Anything
    // longer, or at a rate the mixer's is many times of, goes in pieces of
    // about 256K output frames, so SDL's float work buffers stay small.
    const bool whole = wave.Samples.size() <= WholeConversionBytes && uint64_t{fromRate} * 8 >= toRate;
    const uint64_t pieceFrames = std::max<uint64_t>(1, (uint64_t{256} * 1024 * fromRate) / toRate);
    const size_t pieceBytes =
        whole ? wave.Samples.size()
              : static_cast<size_t>(std::min<uint64_t>(pieceFrames, frames)) * static_cast<size_t>(wave.BlockAlign);
    for (size_t at = 0; at < wave.Samples.size(); at += pieceBytes) {
        const size_t length = std::min(pieceBytes, wave.Samples.size() - at);
        if (SDL_AudioStreamPut(stream.get(), wave.Samples.data() + at, static_cast<int>(length)) != 0 || !drain()) {
            return std::nullopt;
        }
    }
    if (SDL_AudioStreamFlush(stream.get()) != 0 || !drain()) return std::nullopt;
    converted.resize(converted.size() - converted.size() % static_cast<size_t>(out.FrameBytes));
    return converted;
}

}  // namespace

struct DirectSoundBuffer::Impl {
    std::shared_ptr<AudioOutput> output;  // null without audio
    int channel = -1;
    int64_t sourceFrames = 0;             // frames of the wave file
    int32_t blockAlign = 1;               // bytes per frame of the wave file
    std::vector<Uint8> samples;           // the whole sound in the mixer's format
    int64_t outputFrames = 0;
    Mix_Chunk playing{};                  // the part being played: from startOut to the end

    int64_t position = 0;                 // source frame where the next Play starts
    bool started = false;                 // Play has run since the last Stop
    int64_t startOut = 0;                 // output frame the current play started at
    bool looping = false;
    std::atomic<int64_t> mixedBytes{0};   // output bytes mixed since that play started

    ~Impl() {
        if (output) output->GiveBackChannel(channel);
    }

    // Counts the bytes the mixer takes from this channel's sound.
    static void CountMixed(int, void*, int len, void* self) {
        static_cast<Impl*>(self)->mixedBytes.fetch_add(len, std::memory_order_relaxed);
    }

    bool Audible() const { return output && output->IsOpen(); }
    bool ChannelPlaying() const { return Audible() && Mix_Playing(channel) != 0; }

    // The source frame the mixer has reached; a sound that played to its end
    // is back at its start, ready to play again.
    int64_t CurrentFrame() const {
        if (!started || outputFrames == 0) return position;
        const int64_t mixed = mixedBytes.load(std::memory_order_relaxed) / output->FrameBytes;
        const int64_t length = outputFrames - startOut;
        int64_t out;
        if (looping) {
            out = startOut + mixed % length;
        } else {
            if (!ChannelPlaying() && mixed >= length) return 0;
            out = startOut + std::min(mixed, length);
        }
        return out * sourceFrames / outputFrames;
    }

    void Halt() {
        if (Audible()) Mix_HaltChannel(channel);
    }

    void Start(bool loop) {
        looping = loop;
        started = false;
        if (!Audible() || outputFrames == 0) return;
        int64_t from = position * outputFrames / sourceFrames;
        if (from >= outputFrames) {
            position = 0;  // at the very end: nothing to play
            return;
        }
        startOut = from;
        const size_t offset = static_cast<size_t>(from) * output->FrameBytes;
        playing.allocated = 0;
        playing.abuf = samples.data() + offset;
        playing.alen = static_cast<Uint32>(samples.size() - offset);
        playing.volume = MIX_MAX_VOLUME;
        mixedBytes.store(0);
        Mix_UnregisterAllEffects(channel);
        // A channel that cannot start, or whose progress cannot be counted
        // (the position would stand still), leaves the game silent, never
        // stopped.
        if (Mix_RegisterEffect(channel, &Impl::CountMixed, nullptr, this) == 0) return;
        started = Mix_PlayChannel(channel, &playing, loop ? -1 : 0) == channel;
    }
};

DirectSoundBuffer::DirectSoundBuffer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

DirectSoundBuffer::~DirectSoundBuffer() = default;

void DirectSoundBuffer::Stop() {
    Impl& s = *impl_;
    const int64_t frame = s.CurrentFrame();
    s.Halt();
    s.position = frame;
    s.started = false;
}

void DirectSoundBuffer::SetCurrentPosition(int32_t position) {
    Impl& s = *impl_;
    const int64_t frame = std::clamp<int64_t>(position / s.blockAlign, 0, s.sourceFrames);
    if (s.ChannelPlaying()) {
        s.Halt();
        s.position = frame;
        s.Start(s.looping);
    } else {
        s.position = frame;
        s.started = false;
    }
}

void DirectSoundBuffer::Play(int32_t flags) {
    Impl& s = *impl_;
    if (s.ChannelPlaying()) return;
    s.position = s.CurrentFrame();
    s.Start((flags & DSBPLAY_LOOPING) != 0);
}

void DirectSoundBuffer::SetVolume(int32_t volume) {
    Impl& s = *impl_;
    if (!s.Audible()) return;
    Mix_Volume(s.channel, platform_detail::MixerVolume(volume));
}

bool DirectSoundBuffer::IsPlaying() const { return impl_->ChannelPlaying(); }

int32_t DirectSoundBuffer::GetCurrentPosition() const {
    return static_cast<int32_t>(impl_->CurrentFrame() * impl_->blockAlign);
}

DirectSound::DirectSound() : output_(AudioOutput::Open()) {}

DirectSound::~DirectSound() = default;

void DirectSound::SetCooperativeLevel(int64_t, int32_t) {}

bool DirectSound::HasAudio() const { return output_ && output_->IsOpen(); }

SoundBufferPtr DirectSound::CreateSoundBufferFromFile(std::string_view fileName, DSBUFFERDESC&,
                                                      WAVEFORMATEX& format) {
    const std::string bytes = platform_detail::ReadMediaFile(fileName);
    const platform_detail::WaveData wave = platform_detail::ParseWave(bytes, fileName);
    auto impl = std::make_unique<DirectSoundBuffer::Impl>();
    impl->blockAlign = wave.BlockAlign;
    impl->sourceFrames = static_cast<int64_t>(wave.Samples.size()) / wave.BlockAlign;
    if (HasAudio()) {
        auto samples = ConvertForMixer(wave, *output_, fileName);
        if (!samples) {
            throw RuntimeError(ErrDirectX, std::string(fileName) + ": cannot convert the sound: " + SDL_GetError());
        }
        impl->samples = std::move(*samples);
        impl->outputFrames = static_cast<int64_t>(impl->samples.size()) / output_->FrameBytes;
        impl->channel = output_->TakeChannel();
        if (impl->channel < 0) {
            throw RuntimeError(ErrDirectX, std::string(fileName) + ": no mixer channel left");
        }
        impl->output = output_;
    }
    format = wave.Format;
    return std::make_shared<DirectSoundBuffer>(std::move(impl));
}

DirectSoundPtr DirectSoundCreate(std::string_view) { return std::make_shared<DirectSound>(); }

}  // namespace dexlora
