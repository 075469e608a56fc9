// dexlora-check --pictures on a small skin built by the test: which pictures
// are written, what the game picture shows, and a folder that cannot be made.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/core/encoding.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "tests/drawing/bmp_writer.h"
#include "tests/platform_core/temp_folder.h"
#include "tests/skin/check_run.h"

namespace dexlora::test {
namespace {

CheckRun RunPictures(const std::string& skin, const std::string& pictures) {
    return RunCommand(std::string(DEXLORA_CHECK) + " '" DEXLORA_SOURCE_DIR "/system/' --skin '" + skin +
                      "' --pictures '" + pictures + "' 2>&1");
}

class ScenePicturesTest : public ::testing::Test {
protected:
    ScenePicturesTest() {
        PlatformSession session(DisplayKind::Headless);
        DirectDrawPtr dd = DirectDrawCreate("");
        for (const char* name : {"Title.bmp", "Game.bmp", "Result.bmp", "KeyConf.bmp"}) {
            SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, 480, 640, 0, DDSCAPS_OFFSCREENPLAIN};
            SurfacePtr surf = dd->CreateSurface(desc);
            surf->FillRect(RECT{0, 0, 640, 480}, 0x202020);
            folder_.Write("skin/" + std::string(name), "");
            EXPECT_TRUE(WriteBmp(*surf, Skin() + name)) << name;
        }
        folder_.Write("skin/type.txt", Utf8ToCp932("かきくけこ\r\nかきくけこ\r\n\r\n"));
        folder_.Write("skin/Game.ini",
                      "[QuestionText]\r\nQuestionFontSize=24\r\nRomeX=20\r\nRomeY=100\r\n"
                      "QuestionFontColor2=0,255,0\r\nQuestionFontColor3=255,0,0\r\n");
        // Thresholds out of order: no mastery is at least 90 and below 50.
        folder_.Write("skin/result.ini", "[Rank]\r\nPoint=50,90\r\n");
    }
    std::string Skin() const { return folder_.Path() + "skin/"; }
    std::string Pictures() const { return folder_.Path() + "pictures/"; }

    testing_support::TempFolder folder_;
};

// The columns one colour's ink spans.
struct Ink {
    int32_t Left = 640, Right = -1;
};

TEST_F(ScenePicturesTest, EveryScenePictured) {
    const CheckRun run = RunPictures(Skin(), Pictures());
    const std::string p = "picture: " + Pictures();
    EXPECT_EQ(run.out, p + "title.png\n" + p + "game.png\n" + p + "result-rank-0.png\n" + p +
                           "result-rank-1.png: not made, no mastery reaches rank 1 (an earlier threshold is not "
                           "higher)\n" +
                           p + "result-rank-2.png\n" + p + "keyconf-key1.png\n" + p + "keyconf-key2.png\n" +
                           "dexlora-check: 0 load messages; the game starts with this skin\n");
    EXPECT_EQ(run.status, 0);

    IMG_Init(IMG_INIT_PNG);
    for (const char* name : {"title.png", "game.png", "result-rank-0.png", "result-rank-2.png", "keyconf-key1.png",
                             "keyconf-key2.png"}) {
        std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> png(IMG_Load((Pictures() + name).c_str()),
                                                                     SDL_FreeSurface);
        ASSERT_TRUE(png) << name;
        EXPECT_EQ(png->w, 640) << name;
        EXPECT_EQ(png->h, 480) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(Pictures() + "result-rank-1.png"));

    // The game picture: KAKIKUKEKO with its first half, KAKIK, in the typed
    // colour over the start of the line in the colour still to type.
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> loaded(IMG_Load((Pictures() + "game.png").c_str()),
                                                                    SDL_FreeSurface);
    ASSERT_TRUE(loaded);
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> game(
        SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB888, 0), SDL_FreeSurface);
    ASSERT_TRUE(game);
    Ink red, green;
    for (int y = 95; y < 140; ++y) {
        for (int x = 0; x < 640; ++x) {
            const Uint32 pixel = static_cast<const Uint32*>(game->pixels)[y * game->pitch / 4 + x];
            const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
            Ink* ink = r > 200 && g < 60 && b < 60 ? &red : g > 200 && r < 60 && b < 60 ? &green : nullptr;
            if (!ink) continue;
            ink->Left = std::min(ink->Left, x);
            ink->Right = std::max(ink->Right, x);
        }
    }
    ASSERT_LE(red.Left, red.Right) << "no typed part";
    ASSERT_LE(green.Left, green.Right) << "no part left to type";
    EXPECT_LT(red.Left, 30);
    EXPECT_LT(red.Right, green.Right);
    EXPECT_GT(red.Right, (green.Right - 20) / 3);
}

TEST_F(ScenePicturesTest, AFolderThatCannotBeMade) {
    folder_.Write("pictures", "a file where the folder should be");
    const CheckRun run = RunPictures(Skin(), Pictures());
    EXPECT_NE(run.out.find("picture: " + Pictures() + ": not a folder and cannot be made\n"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.status, 2);
}

}  // namespace
}  // namespace dexlora::test
