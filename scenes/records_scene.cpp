// The records scene.
#include "scenes/records_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "engine/rome_table.h"
#include "scenes/frame.h"
#include "scenes/keyconf_layout.h"
#include "scenes/result_score.h"
#include "skin/loaders/loaders.h"

namespace dexlora {
namespace {

constexpr int32_t GameLengths[] = {60, 30, 1};
constexpr int32_t BestsTop = 26, BestsLine = 16;
constexpr int32_t BestsColumns[] = {16, 130, 290, 460};
constexpr int32_t HeatGridHeight = KeyConfRows * RecordsHeatCellHeight;
constexpr int32_t BottomLine = RecordsHeatTop + 4 * HeatGridHeight + 3 * RecordsHeatGridGap + 4;

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A figure read from a file may be anything: what is not a number counts 0.
double Finite(double value) { return std::isfinite(value) ? value : 0; }

std::string DateOf(int64_t when) {
    const std::time_t t = static_cast<std::time_t>(when);
    std::tm local{};
    char text[32];
    if (!localtime_r(&t, &local) || !std::strftime(text, sizeof text, "%Y-%m-%d", &local)) return "?";
    return text;
}

int32_t Mix(int32_t from, int32_t to, double share) {
    int32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const int32_t a = from >> shift & 0xFF, b = to >> shift & 0xFF;
        out |= static_cast<int32_t>(std::lround(a + (b - a) * share)) << shift;
    }
    return out;
}

// A panel of the skin's colour over what the page holds there.
void Panel(DirectDrawSurface7& target, const RECT& r) {
    const RecordsSettings& look = RecordsIni;
    if (look.PanelOpacity >= 100) return target.FillRect(r, look.PanelColor);
    for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x)
            target.SetPixel(x, y, Mix(target.GetPixel(x, y), look.PanelColor, look.PanelOpacity / 100.0));
}

void Text(DirectDrawSurface7& target, int32_t x, int32_t y, int32_t color, std::string_view text) {
    target.SetForeColor(color);
    target.DrawText(x, y, text, false);
}

int32_t TextWidth(const DirectDrawSurface7& target, std::string_view text) {
    int32_t width = 0, height = 0;
    target.MeasureText(text, width, height);
    return width;
}

// A line of pixels from (x1, y1) to (x2, y2), both ends drawn.
void Line(DirectDrawSurface7& target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color) {
    const int32_t dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int32_t sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    for (int32_t error = dx + dy;;) {
        target.SetPixel(x1, y1, color);
        if (x1 == x2 && y1 == y2) return;
        const int32_t twice = 2 * error;
        if (twice >= dy) error += dy, x1 += sx;
        if (twice <= dx) error += dx, y1 += sy;
    }
}

void Bests(DirectDrawSurface7& target, std::span<const GameRecord> games) {
    const RecordsSettings& look = RecordsIni;
    Panel(target, RECT{10, BestsTop - 4, ScreenWidth - 10, BestsTop + 4 * BestsLine});
    const char* heads[] = {"自己ベスト Bests", "打鍵/分 Keys/min", "極め度 Mastery", "正確さ Accuracy"};
    for (int i = 0; i < 4; ++i) Text(target, BestsColumns[i], BestsTop, look.HeadColor, heads[i]);
    for (size_t row = 0; row < std::size(GameLengths); ++row) {
        const int32_t length = GameLengths[row];
        const int32_t y = BestsTop + BestsLine * static_cast<int32_t>(row + 1);
        Text(target, BestsColumns[0], y, look.TextColor, std::to_string(length) + " 秒 s");
        // The best of each figure, the earliest game when several share it.
        constexpr double GameRecord::*figure[3] = {&GameRecord::KeysPerMinute, &GameRecord::Mastery,
                                                   &GameRecord::Accuracy};
        const GameRecord* best[3] = {};
        for (const GameRecord& game : games) {
            if (game.Length != length) continue;
            for (int i = 0; i < 3; ++i)
                if (!best[i] || Finite(game.*figure[i]) > Finite(best[i]->*figure[i])) best[i] = &game;
        }
        if (!best[0]) {
            Text(target, BestsColumns[1], y, look.TextColor, "―");
            continue;
        }
        const std::string figures[3] = {Format("%.0f", Finite(best[0]->KeysPerMinute)),
                                        MasteryText(Finite(best[1]->Mastery)) + "%",
                                        Format("%.1f%%", 100 * Finite(best[2]->Accuracy))};
        for (int i = 0; i < 3; ++i)
            Text(target, BestsColumns[i + 1], y, look.TextColor, figures[i] + "  " + DateOf(best[i]->When));
    }
}

void Chart(DirectDrawSurface7& target, std::span<const GameRecord> games) {
    const RecordsSettings& look = RecordsIni;
    const RECT& plot = RecordsPlot;
    Panel(target, RecordsChartPanel);
    const size_t count = std::min(games.size(), RecordsChartGames);
    games = games.last(count);
    double top = 0;
    for (const GameRecord& game : games) top = std::max(top, Finite(game.KeysPerMinute));
    top = std::max(100.0, std::ceil(top / 100) * 100);

    target.SetForeColor(look.LineColor);
    target.DrawBox(plot.Left - 1, plot.Top - 1, plot.Right + 1, plot.Bottom + 1);
    for (int quarter = 1; quarter < 4; ++quarter) {
        const int32_t y = RecordsChartY(quarter / 4.0, 1);
        for (int32_t x = plot.Left; x < plot.Right; x += 4) target.SetPixel(x, y, look.LineColor);
    }
    const int32_t labelTop = RecordsChartPanel.Top + 2;
    Text(target, plot.Left, labelTop, look.SpeedColor, "打鍵/分 Keys/min");
    Text(target, plot.Left + 140, labelTop, look.AccuracyColor, "正確さ Accuracy");
    Text(target, plot.Left + 280, labelTop, look.TextColor,
         "最近 " + std::to_string(count) + " 回 the last " + std::to_string(count) + " games");
    Text(target, RecordsChartPanel.Left + 4, plot.Top - 2, look.SpeedColor, Format("%.0f", top));
    Text(target, RecordsChartPanel.Left + 4, plot.Bottom - 12, look.SpeedColor, "0");
    Text(target, plot.Right + 4, plot.Top - 2, look.AccuracyColor, "100%");
    Text(target, plot.Right + 4, plot.Bottom - 12, look.AccuracyColor, "0%");

    for (const auto& [figure, scale, color] : {std::tuple{&GameRecord::KeysPerMinute, top, look.SpeedColor},
                                               std::tuple{&GameRecord::Accuracy, 1.0, look.AccuracyColor}}) {
        int32_t lastX = 0, lastY = 0;
        for (size_t i = 0; i < count; ++i) {
            const int32_t x = RecordsChartX(i, count), y = RecordsChartY(Finite(games[i].*figure), scale);
            if (i > 0) Line(target, lastX, lastY, x, y, color);
            target.FillRect(RECT{x - 1, y - 1, x + 2, y + 2}, color);
            lastX = x, lastY = y;
        }
    }
}

// A kana's keys over the heat map's games.
struct KanaSum {
    uint64_t Right = 0, Misses = 0, Timed = 0, FirstKeyMs = 0;
};

void HeatMap(DirectDrawSurface7& target, std::span<const GameRecord> games) {
    const RecordsSettings& look = RecordsIni;
    std::map<std::string, KanaSum, std::less<>> sums;
    for (const GameRecord& game : games.last(std::min(games.size(), RecordsHeatGames))) {
        for (const KanaRecord& kana : game.Kana) {
            KanaSum& sum = sums[kana.Kana];
            sum.Right += kana.Right, sum.Misses += kana.Misses;
            sum.Timed += kana.Timed, sum.FirstKeyMs += kana.FirstKeyMs;
        }
    }
    Panel(target, RECT{RecordsChartPanel.Left, RecordsHeatTop, RecordsChartPanel.Right,
                       RecordsHeatCell(1, KeyConfScreenEntries - 1).Bottom});
    StdFont cellFont = look.RecordsFont;
    cellFont.Size = 7.5f;
    target.SetFont(cellFont);
    for (int32_t page = 0; page < 2; ++page) {
        const RomeEntries& table = page == 0 ? RomeTable : Rome2Table;
        const int32_t shown = std::min(RomeEntryCount(table), KeyConfScreenEntries);
        for (int32_t entry = 0; entry < KeyConfScreenEntries; ++entry) {
            const RECT cell = RecordsHeatCell(page, entry);
            const std::string& kana = entry < shown ? table[static_cast<size_t>(entry)].Kana : std::string();
            const auto sum = kana.empty() ? sums.end() : sums.find(kana);
            if (sum != sums.end() && sum->second.Right + sum->second.Misses > 0) {
                const double per100 = 100.0 * static_cast<double>(sum->second.Misses) /
                                      static_cast<double>(sum->second.Right + sum->second.Misses);
                target.FillRect(RECT{cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1}, Mix(look.ColdColor, look.HotColor, std::min(1.0, per100 / RecordsHeatFull)));
            }
            target.SetForeColor(look.LineColor);
            target.DrawBox(cell.Left, cell.Top, cell.Right, cell.Bottom);
            if (!kana.empty())
                Text(target, cell.Left + (KeyConfCellWidth - TextWidth(target, kana)) / 2, cell.Top, look.TextColor, kana);
        }
    }

    // The slowest kana by their mean time to the first key.
    std::vector<std::pair<double, std::string>> slow;
    for (const auto& [kana, sum] : sums)
        if (sum.Timed > 0) slow.emplace_back(static_cast<double>(sum.FirstKeyMs) / static_cast<double>(sum.Timed), kana);
    std::sort(slow.begin(), slow.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::string line = "遅いかな Slowest:";
    for (size_t i = 0; i < std::min<size_t>(slow.size(), 3); ++i)
        line += "  " + slow[i].second + " " + Format("%.0f", slow[i].first) + " ms";
    if (slow.empty()) line += "  ―";
    target.SetFont(look.RecordsFont);
    Text(target, RecordsHeatCell(0, 0).Left, BottomLine, look.TextColor, line);
    // The scale: from no misses to RecordsHeatFull and more, in five steps.
    const std::string scale = "ミス率 Misses/100 keys  0";
    const int32_t scaleLeft = ScreenWidth - 10 - 5 * 12 - 20 - TextWidth(target, scale);
    Text(target, scaleLeft, BottomLine, look.TextColor, scale);
    for (int step = 0; step <= 4; ++step)
        target.FillRect(RECT{ScreenWidth - 84 + 12 * step, BottomLine + 2, ScreenWidth - 74 + 12 * step, BottomLine + 12},
                        Mix(look.ColdColor, look.HotColor, step / 4.0));
    Text(target, ScreenWidth - 22, BottomLine, look.TextColor, Format("%.0f", RecordsHeatFull));
}

void LeaveRecords() {
    GameState = Scene::Title;
    RequestScene(NextScene::Title);
}

}  // namespace

int32_t RecordsChartX(size_t index, size_t count) {
    const size_t slot = RecordsChartGames - std::min(count, RecordsChartGames) + index;
    return RecordsPlot.Left + static_cast<int32_t>(slot) * (RecordsPlot.Right - RecordsPlot.Left - 1) /
                                  static_cast<int32_t>(RecordsChartGames - 1);
}

int32_t RecordsChartY(double value, double top) {
    const double share = std::clamp(value / top, 0.0, 1.0);
    return RecordsPlot.Bottom - 1 - static_cast<int32_t>(std::lround(share * (RecordsPlot.Bottom - RecordsPlot.Top - 1)));
}

RECT RecordsHeatCell(int32_t page, int32_t entry) {
    const int32_t grid = 2 * page + entry / KeyConfGridEntries, inGrid = entry % KeyConfGridEntries;
    const int32_t left = KeyConfGridLeft + KeyConfCellWidth * (inGrid / KeyConfRows);
    const int32_t top = RecordsHeatTop + (HeatGridHeight + RecordsHeatGridGap) * grid +
                        RecordsHeatCellHeight * (inGrid % KeyConfRows);
    return {left, top, left + KeyConfCellWidth, top + RecordsHeatCellHeight};
}

void DrawRecordsPage(DirectDrawSurface7& target, std::span<const GameRecord> games) {
    const RecordsSettings& look = RecordsIni;
    target.FillRect(ScreenRect, look.BackColor);
    if (const SurfacePtr& picture = Backgrounds.DDSurfRecords) {
        const RECT part{0, 0, std::min(picture->Width(), ScreenWidth), std::min(picture->Height(), ScreenHeight)};
        target.BltFast(0, 0, *picture, part, DDBLTFAST_WAIT);
    }
    target.SetFontTransparency(true);
    target.SetFont(look.RecordsFont);
    Text(target, 10, 6, look.HeadColor, "記録　Records");
    const std::string back = "どのキーでもタイトルへ　Any key: back to the title";
    Text(target, ScreenWidth - 10 - TextWidth(target, back), 6, look.TextColor, back);
    if (games.empty()) {
        Panel(target, RecordsChartPanel);
        Text(target, RecordsPlot.Left, RecordsPlot.Top, look.TextColor, "まだ記録がありません。ゲームを最後まで遊ぶと、ここに記録されます。");
        Text(target, RecordsPlot.Left, RecordsPlot.Top + 20, look.TextColor,
             "No games recorded yet: play a game to its end and it shows here.");
        return;
    }
    Bests(target, games);
    Chart(target, games);
    HeatMap(target, games);
}

void ShowRecords(std::span<const GameRecord> games) {
    // A failing operation ends the scene without a message, as on the title;
    // keys still follow GameState.
    try {
        SurfaceDesc desc = OffscreenDesc(ScreenWidth, ScreenHeight);
        const SurfacePtr page = DDraw->CreateSurface(desc);
        DrawRecordsPage(*page, games);
        do CopyBackground(page);
        while (EndFrame());
    } catch (const std::exception&) {
    }
}

void RecordsStart() {
    const std::vector<GameRecord> games = ReadHistory(HistoryPath, RecordsHistoryGames, RecordsHeatGames);
    ShowRecords(games);
}

void OpenRecords() {
    GameState = Scene::Records;
    RequestScene(NextScene::Records);
}

void RecordsKeyPress(char32_t) { LeaveRecords(); }

void RecordsKeyDown(KeyCode) { LeaveRecords(); }

}  // namespace dexlora
