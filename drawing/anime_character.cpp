// The sprite class: waiting, moving and frame stepping tick by tick, and
// drawing the current cell clipped to the screen.
#include "drawing/anime_character.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_map>

#include "drawing/display.h"
#include "drawing/rounding.h"
#include "platform/core/files.h"

namespace dexlora {

RECT BlitSrcRect;
int32_t BlitX = 0;
int32_t BlitY = 0;

namespace {

constexpr int32_t ErrDivisionByZero = 11;

int32_t Clamp32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t CheckedProduct(int32_t a, int32_t b) {
    int64_t product = static_cast<int64_t>(a) * b;
    if (product < std::numeric_limits<int32_t>::min() || product > std::numeric_limits<int32_t>::max())
        throw RuntimeError(ErrOverflow, "frame count out of range");
    return static_cast<int32_t>(product);
}

// Counters that run for as long as a sprite exists stop at the top of their
// range instead of overflowing.
int32_t Increment(int32_t value) {
    return value == std::numeric_limits<int32_t>::max() ? value : value + 1;
}

// Sheets in use, by file: sprites naming the same file, unchanged since it
// was decoded, draw from one copy of it. A sheet goes with the last sprite
// holding it; a file edited or replaced since is decoded afresh.
class SharedSheets {
public:
    // The sheet of the file at path (resolved) and its description, when a
    // sprite still holds one decoded from the file as it is now.
    bool Find(const std::string& path, SurfaceDesc& desc, SurfacePtr& sheet) {
        const auto kept = sheets_.find(path);
        if (kept == sheets_.end()) return false;
        SurfacePtr held = kept->second.sheet.lock();
        if (!held || kept->second.stamp != StampOf(path)) {
            sheets_.erase(kept);
            return false;
        }
        desc = kept->second.desc;
        sheet = std::move(held);
        return true;
    }

    // Remembers the sheet decoded from the file at path, as stamped before
    // decoding began.
    void Keep(const std::string& path, const std::string& stamp, const SurfaceDesc& desc, const SurfacePtr& sheet) {
        if (stamp.empty() || !sheet) return;
        // Sheets whose sprites are all gone are dropped now and then, so the
        // table never holds many more files than are in use.
        if (sheets_.size() >= 2 * pruneAt_) {
            std::erase_if(sheets_, [](const auto& entry) { return entry.second.sheet.expired(); });
            pruneAt_ = std::max<size_t>(16, sheets_.size());
        }
        sheets_[path] = Entry{stamp, desc, sheet};
    }

    // What the file at path is now: any change to it, in place or by
    // replacing it, gives another answer. Empty when it is not a regular
    // file, and while its change time is too recent to tell the next change
    // apart (stamps tick in steps of a few milliseconds, two seconds on FAT).
    static std::string StampOf(const std::string& path) {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        const int64_t step = st.st_ctim.tv_nsec == 0 ? 2'000'000'000 : 100'000'000;
        const int64_t age = (int64_t{now.tv_sec} - st.st_ctim.tv_sec) * 1'000'000'000 + now.tv_nsec - st.st_ctim.tv_nsec;
        if (age < step) return {};
        return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ':' + std::to_string(st.st_size) + ':' +
               std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec) + ':' +
               std::to_string(st.st_ctim.tv_sec) + '.' + std::to_string(st.st_ctim.tv_nsec);
    }

private:
    struct Entry {
        std::string stamp;
        SurfaceDesc desc;
        std::weak_ptr<DirectDrawSurface7> sheet;
    };
    std::unordered_map<std::string, Entry> sheets_;
    size_t pruneAt_ = 16;
};

SharedSheets g_sheets;

}  // namespace

void ClipToScreen(const RECT& rect, int32_t x, int32_t y) {
    int64_t w = static_cast<int64_t>(rect.Right) - rect.Left;
    int64_t h = static_cast<int64_t>(rect.Bottom) - rect.Top;
    if (x < 0) {
        BlitX = 0;
        BlitSrcRect.Left = Clamp32(static_cast<int64_t>(rect.Left) - x);
        BlitSrcRect.Right = rect.Right;
    } else {
        BlitX = x;
        BlitSrcRect.Left = rect.Left;
        BlitSrcRect.Right = x + w <= ScreenWidth ? rect.Right : Clamp32(int64_t{rect.Left} + ScreenWidth - x);
    }
    if (y < 0) {
        BlitY = 0;
        BlitSrcRect.Top = Clamp32(static_cast<int64_t>(rect.Top) - y);
        BlitSrcRect.Bottom = rect.Bottom;
    } else {
        BlitY = y;
        BlitSrcRect.Top = rect.Top;
        BlitSrcRect.Bottom = y + h < ScreenHeight ? rect.Bottom : Clamp32(int64_t{rect.Top} + ScreenHeight - y);
    }
}

void clsAnimeCharacter::InitFromFile(DirectDrawPtr& dd, std::string_view strFileName) {
    // A C path would end at a NUL and name another file: such a path is
    // loaded (and refused) every time.
    const std::string path = ResolvePath(strFileName);
    const bool shared = path.find('\0') == std::string::npos;
    if (!shared || !g_sheets.Find(path, SheetDesc, DDSurfSheet)) {
        const std::string stamp = shared ? SharedSheets::StampOf(path) : std::string();
        const SurfacePtr before = DDSurfSheet;
        LoadImageSurface(dd, strFileName, SheetDesc, DDSurfSheet);
        if (DDSurfSheet != before) g_sheets.Keep(path, stamp, SheetDesc, DDSurfSheet);
    }
    if (lngFrameCount == 0) throw RuntimeError(ErrDivisionByZero, "division by zero");
    lngWidth = RoundHalfEven(static_cast<double>(SheetDesc.lWidth) / lngFrameCount);
    lngHeight = SheetDesc.lHeight;
}

void clsAnimeCharacter::InitFirstValue() {
    lngPosX = lngFirstX;
    sngPosX = static_cast<float>(lngFirstX);
    lngPosY = lngFirstY;
    sngPosY = static_cast<float>(lngFirstY);
    lngTC = 0;
    lngFrame = 0;
    blnReverse = false;
    lngMoveCount = 0;
    blnMoveEnd = false;
    blnStarted = false;
    blnExsist = true;
}

void clsAnimeCharacter::InitPosition(int32_t lngStartX, int32_t lngStartY, float sngStartDX, float sngStartDY) {
    lngPosX = lngFirstX = lngStartX;
    sngPosX = static_cast<float>(lngStartX);
    lngPosY = lngFirstY = lngStartY;
    sngPosY = static_cast<float>(lngStartY);
    sngDX = sngStartDX;
    sngDY = sngStartDY;
    blnExsist = true;
}

void clsAnimeCharacter::InitAnimeData(int32_t lngChangeTime, int32_t lngMode, int32_t lngInterval,
                                      int32_t lngXNumber, int32_t lngYnumber, bool blnVisibleAfterMoveEnd,
                                      int32_t lngMax) {
    blnVisibleAfterEnd = blnVisibleAfterMoveEnd;
    lngMaxMove = lngMax;
    lngFrameTime = lngChangeTime;
    lngWait = lngInterval;

    lngColumns = lngXNumber;
    if (lngColumns == 0) throw RuntimeError(ErrDivisionByZero, "division by zero");
    lngWidth = FloorToLong(static_cast<double>(GetSurfWidth()) / lngColumns);
    lngFrameCount = CheckedProduct(lngColumns, lngRows);

    lngRows = lngYnumber;
    if (lngRows == 0) throw RuntimeError(ErrDivisionByZero, "division by zero");
    lngHeight = FloorToLong(static_cast<double>(GetSurfHeight()) / lngRows);
    lngFrameCount = CheckedProduct(lngRows, lngColumns);

    if (lngMode == 0 || lngMode == 1) lngAnimeMode = lngMode;
}

RECT clsAnimeCharacter::GetPosition() const {
    return RECT{lngPosX, lngPosY, 0, 0};
}

void clsAnimeCharacter::SetPosition(int32_t lngX, int32_t lngY) {
    lngPosX = lngX;
    sngPosX = static_cast<float>(lngX);
    lngPosY = lngY;
    sngPosY = static_cast<float>(lngY);
}

void clsAnimeCharacter::PrintCharacter(const SurfacePtr& DDSurfPrint) {
    if (!blnStarted || (blnMoveEnd && !blnVisibleAfterEnd)) return;
    // A sprite whose picture failed to load (its failure is already in
    // ErrLog) or whose cell layout was refused has nothing to show.
    if (!DDSurfSheet || lngColumns == 0 || lngRows == 0) return;
    if (!DDSurfPrint) throw RuntimeError(ErrObjectNotSet, "the surface does not exist");

    // The row is the remainder by the rows, not the quotient by the columns:
    // sheets of several rows and columns walk their cells diagonally.
    int32_t c = lngFrame % lngColumns;
    int32_t r = lngFrame % lngRows;
    RECT cell{Clamp32(int64_t{c} * lngWidth), Clamp32(int64_t{r} * lngHeight), Clamp32(int64_t{c + 1} * lngWidth),
              Clamp32(int64_t{r + 1} * lngHeight)};

    DDSurfSheet->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{lngRegionColor, lngRegionColor});
    ClipToScreen(cell, lngPosX, lngPosY);
    // A cell wider than the screen hanging off the left edge (or taller,
    // off the top) is not cut on its far side by the clip; cut it here, so
    // the copy never reaches past the screen and fails.
    RECT src = BlitSrcRect;
    src.Right = Clamp32(std::min<int64_t>(src.Right, int64_t{src.Left} + ScreenWidth - BlitX));
    src.Bottom = Clamp32(std::min<int64_t>(src.Bottom, int64_t{src.Top} + ScreenHeight - BlitY));
    // Wholly off the screen the rectangle is reversed (or empty): there is
    // nothing to copy. Neither is there from a cell outside the sheet, which
    // only a layout of negative columns or rows can give.
    if (src.Right <= src.Left || src.Bottom <= src.Top) return;
    if (src.Left < 0 || src.Top < 0 || src.Right > DDSurfSheet->Width() || src.Bottom > DDSurfSheet->Height())
        return;
    DDSurfPrint->BltFast(BlitX, BlitY, *DDSurfSheet, src, DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY);
}

void clsAnimeCharacter::AddTC() {
    lngTC = Increment(lngTC);
    if (!blnStarted) {
        if (lngTC > lngWait) {
            blnStarted = true;
            lngTC = 0;
        }
        return;
    }
    if (!blnMoveEnd) MoveStep();
}

void clsAnimeCharacter::SetMoveCountCheck(int32_t lngMax) {
    lngMoveCount = 0;
    blnMoveEnd = false;
    lngMaxMove = lngMax;
}

void clsAnimeCharacter::AutoSetRegionColor() {
    if (!DDSurfSheet) return;
    lngRegionColor = DDSurfSheet->GetPixel(0, 0);
}

void clsAnimeCharacter::MoveStep() {
    sngPosX = sngPosX + sngDX;
    sngPosY = sngPosY + sngDY;
    lngPosX = FloorSaturated(sngPosX);
    lngPosY = FloorSaturated(sngPosY);

    // The move just made stands even when it was the last one.
    lngMoveCount = Increment(lngMoveCount);
    CheckMoveCount();

    if (lngTC > lngFrameTime) {
        lngTC = 1;
        if (lngAnimeMode == 0) {
            lngFrame = Increment(lngFrame);
            if (lngFrame >= lngFrameCount) lngFrame = 0;
        } else if (!blnReverse) {
            lngFrame = Increment(lngFrame);
            if (lngFrame >= lngFrameCount) {
                lngFrame = Clamp32(int64_t{lngFrameCount} - 1);
                blnReverse = true;
            }
        } else {
            --lngFrame;
            if (lngFrame < 0) {
                lngFrame = 0;
                blnReverse = false;
            }
        }
    }
}

void clsAnimeCharacter::CheckMoveCount() {
    if (lngMoveCount > lngMaxMove) blnMoveEnd = true;
}

}  // namespace dexlora
