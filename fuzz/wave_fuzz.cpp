// Wave files as a skin names them, made into sound buffers on the dummy audio
// device: a refusal gives a reason, a buffer describes a format the player
// accepts, and playing, stopping and seeking it stay within its data.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/core/error.h"
#include "platform/sound.h"
#include "platform/window.h"

using namespace dexlora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The sound device of a headless session; the device goes first.
    static PlatformSession session{DisplayKind::Headless};
    static const DirectSoundPtr sound = DirectSoundCreate("");
    const std::string path = fuzz::WriteScratch("sound.wav", {reinterpret_cast<const char*>(data), size});
    DSBUFFERDESC desc;
    desc.lFlags = DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME;
    WAVEFORMATEX format;
    SoundBufferPtr buffer;
    try { buffer = sound->CreateSoundBufferFromFile(path, desc, format); } catch (const RuntimeError& e) {
        // "file: reason", with a reason.
        const std::string what = e.what();
        FUZZ_CHECK(e.Number != 0 && what.size() > path.size() + 2 && what.back() != ' ', "no reason: \"" + what + "\"");
        return 0;
    }
    FUZZ_CHECK(buffer && format.nFormatTag == 1 && (format.nChannels == 1 || format.nChannels == 2) &&
                   (format.nBitsPerSample == 8 || format.nBitsPerSample == 16) && format.lSamplesPerSec >= 1 &&
                   format.lSamplesPerSec <= 384000,
               std::to_string(format.nChannels) + "x" + std::to_string(format.nBitsPerSample) + " bits");
    // Seeking past either end while playing stays within the data.
    buffer->Play(DSBPLAY_LOOPING);
    for (int32_t position : {static_cast<int32_t>(size) + 1000, -5, 3}) {
        buffer->SetCurrentPosition(position);
        FUZZ_CHECK(buffer->GetCurrentPosition() >= 0 && buffer->GetCurrentPosition() <= static_cast<int32_t>(size),
                   "position " + std::to_string(buffer->GetCurrentPosition()));
    }
    buffer->Stop();
    return 0;
}
