// Shared set-up of the loader tests: a headless session with the display and
// sound devices, a skin folder built by each test (CP932 settings files,
// bitmaps, wave files) inside a scratch folder that also holds files outside
// the skin.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "platform/core/encoding.h"
#include "platform/window.h"
#include "settings/shared.h"
#include "skin/loaders/loaders.h"
#include "tests/drawing/bmp_writer.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora::test {

inline constexpr int32_t White = 0xFFFFFF;

// A mono 8-bit wave file at 8000 Hz, every sample at level (0x80 is silence).
inline std::string WaveFile(uint32_t samples = 200, char level = '\x80') {
    auto le = [](size_t v, int bytes) {
        std::string s;
        for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    const std::string fmt = le(1, 2) + le(1, 2) + le(8000, 4) + le(8000, 4) + le(1, 2) + le(8, 2);
    const std::string body = "WAVEfmt " + le(16, 4) + fmt + "data" + le(samples, 4) + std::string(samples, level);
    return "RIFF" + le(body.size(), 4) + body;
}

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override { Fresh(); }
    // Every global back to its start, as before each row of a table.
    void Fresh() {
        DDraw = DirectDrawCreate("");
        DSound = DirectSoundCreate("");
        ErrLog.clear();
        ResetSceneControl();
        ResetSkinGlobals();
        SkinPath = Skin();
    }
    ~LoaderTest() override {
        ResetSkinGlobals();
        DDraw = nullptr;
        DSound = nullptr;
    }

    // The skin folder, ending in '/', and the scratch folder around it.
    std::string Skin() const { return scratch_.Path() + "skin/"; }
    std::string Outside() const { return scratch_.Path(); }

    // A settings file of the skin written in CP932 with CR LF line ends.
    void Ini(std::string_view name, std::string_view utf8) {
        std::string text;
        for (char c : utf8) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        scratch_.Write("skin/" + std::string(name), Utf8ToCp932(text));
    }
    // A bitmap of width x height in colour, its top-left pixel in corner
    // (the colour a sprite leaves out).
    void Bmp(const std::string& path, int32_t width, int32_t height, int32_t color = 0x336699,
             int32_t corner = 0xFF00FF) {
        SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, height, width, 0, DDSCAPS_OFFSCREENPLAIN};
        SurfacePtr surf = DDraw->CreateSurface(desc);
        surf->FillRect(RECT{0, 0, width, height}, color);
        surf->SetPixel(0, 0, corner);
        scratch_.Write(path, "");
        ASSERT_TRUE(WriteBmp(*surf, scratch_.Path() + path)) << path;
    }
    void Wave(const std::string& path) { scratch_.Write(path, WaveFile()); }

    // text with every "{skin}" replaced by the skin folder.
    std::string WithSkin(std::string text) const {
        for (size_t at; (at = text.find("{skin}")) != std::string::npos;) text.replace(at, 6, Skin());
        return text;
    }

    std::unique_ptr<PlatformSession> session_ = std::make_unique<PlatformSession>(DisplayKind::Headless);
    testing_support::TempFolder scratch_;
};

// The line a picture that cannot be loaded leaves in ErrLog.
inline std::string PictureLine(const std::string& path) {
    return path + "が読みこめなかった可能性があります\r\n";
}

}  // namespace dexlora::test
