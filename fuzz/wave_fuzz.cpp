// Wave files as a skin names them, made into sound buffers on the dummy
// audio device: a buffer describes a format the player accepts, and playing,
// stopping and seeking it stay within its data.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "platform/core/error.h"
#include "platform/sound.h"
#include "platform/window.h"

using namespace dexlora;

namespace {

// The sound device of a headless session; the device goes first.
struct Speaker {
    PlatformSession session{DisplayKind::Headless};
    DirectSoundPtr sound = DirectSoundCreate("");
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Speaker speaker;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::ScratchFolder::Get().Write("sound.wav", input);

    DSBUFFERDESC desc;
    desc.lFlags = DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME;
    WAVEFORMATEX format;
    SoundBufferPtr buffer;
    try {
        buffer = speaker.sound->CreateSoundBufferFromFile(path, desc, format);
    } catch (const RuntimeError& e) {
        // "file: reason", with a reason.
        const std::string what = e.what();
        FUZZ_CHECK(e.Number != 0 && what.size() > path.size() + 2 && what.back() != ' ',
                   "a refused wave file gave no reason: \"" + what + "\"");
        return 0;
    }
    FUZZ_CHECK(buffer != nullptr, "no buffer and no error");
    FUZZ_CHECK(format.nFormatTag == 1 && (format.nChannels == 1 || format.nChannels == 2) &&
                   (format.nBitsPerSample == 8 || format.nBitsPerSample == 16) && format.lSamplesPerSec >= 1 &&
                   format.lSamplesPerSec <= 384000,
               "format " + std::to_string(format.nChannels) + " channels, " + std::to_string(format.nBitsPerSample) +
                   " bits, " + std::to_string(format.lSamplesPerSec) + " Hz");
    const int32_t frame = format.nChannels * format.nBitsPerSample / 8;
    buffer->SetCurrentPosition(0);
    FUZZ_CHECK(buffer->GetCurrentPosition() == 0, "position after rewinding");
    buffer->SetVolume(-10000);
    buffer->Play(0);
    buffer->SetCurrentPosition(frame * 3);
    const int32_t position = buffer->GetCurrentPosition();
    FUZZ_CHECK(position >= 0 && position <= static_cast<int32_t>(size), "position " + std::to_string(position));
    buffer->Play(DSBPLAY_LOOPING);
    buffer->Stop();
    buffer->SetCurrentPosition(static_cast<int32_t>(size) + 1000);
    buffer->SetCurrentPosition(-5);
    buffer->Play(0);
    buffer->Stop();
    return 0;
}
