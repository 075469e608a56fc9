// The headless display: frames go to a hook instead of a screen, time is a
// virtual clock moved by Flip and busy waits, input comes from a script.
#include <algorithm>
#include <deque>
#include <optional>

#include "platform/detail/display_factory.h"
#include "platform/detail/headless_dialog.h"
#include "platform/detail/sdl_internal.h"
#include "platform/headless.h"
#include "platform/surface.h"

namespace dexlora {

namespace {

// Time in sixtieths of a millisecond, so that one 60 Hz refresh is exactly
// 1000 units and a run of frames never drifts from 1000 * n / 60 ms.
constexpr uint64_t UnitsPerMs = 60;
constexpr uint64_t UnitsPerRefresh = 1000;

class HeadlessDisplay final : public DisplayBackend {
public:
    DisplayKind Kind() const override { return DisplayKind::Headless; }
    int64_t WindowHandle() const override { return 1; }
    void TakeScreen() override {}
    void GiveScreenBack() override {}
    // The same depths a desktop presents; 8-bit palettes are not offered.
    bool CanPresentDepth(int32_t bpp) const override { return bpp == 32 || bpp == 24 || bpp == 16; }
    void ShowWindow(bool) override {}
    void Focus() override {}
    void ShowPointer(bool) override {}

    void Present(const DirectDrawSurface7& frame) override {
        ++frames_;
        units_ += UnitsPerRefresh;
        auto hook = onFlip_;  // the hook may replace itself
        if (hook) hook(frame, frames_);
    }

    void PumpEvents(bool busyWait) override {
        if (busyWait) units_ += UnitsPerMs;
        // Each event leaves the queue before its handler runs; once a handler
        // holds the events, the rest wait in the script.
        while (platform_detail::MayDeliver() && !script_.empty() && Due(script_.front().At)) {
            const headless::ScriptedEvent e = script_.front();
            script_.pop_front();
            Deliver(e);
        }
    }

    uint32_t Ticks() override { return uint32_t(units_ / UnitsPerMs); }
    double OutputScale() const override { return outputScale_; }
    void SetOutputScale(double scale) { outputScale_ = scale; }

    // A dialog takes the script's events one at a time, without handlers.
    std::optional<headless::ScriptedEvent> TakeDue() {
        if (script_.empty() || !Due(script_.front().At)) return std::nullopt;
        headless::ScriptedEvent e = script_.front();
        script_.pop_front();
        return e;
    }
    void WaitRefresh() { units_ += UnitsPerRefresh; }
    void ShowDialogFrame(const DirectDrawSurface7& frame, std::string_view caption) {
        units_ += UnitsPerRefresh;
        auto hook = onDialogFrame_;
        if (hook) hook(frame, caption);
    }
    void OnDialogFrame(std::function<void(const DirectDrawSurface7&, std::string_view)> hook) {
        onDialogFrame_ = std::move(hook);
    }

    void SetClock(uint32_t ms) { units_ = uint64_t{ms} * UnitsPerMs; }
    void AdvanceClock(uint32_t ms) { units_ += uint64_t{ms} * UnitsPerMs; }

    void Script(std::vector<headless::ScriptedEvent> events) {
        script_.insert(script_.end(), events.begin(), events.end());
        // Ordered by time from now, so that a script crossing the wrap of the
        // 32-bit clock stays in order; equal times keep their given order.
        const uint32_t now = Ticks();
        std::stable_sort(script_.begin(), script_.end(), [now](const auto& a, const auto& b) {
            return int32_t(a.At - now) < int32_t(b.At - now);
        });
    }
    size_t Pending() const { return script_.size(); }
    uint64_t Frames() const { return frames_; }
    void OnFlip(std::function<void(const DirectDrawSurface7&, uint64_t)> hook) { onFlip_ = std::move(hook); }

private:
    bool Due(uint32_t at) { return int32_t(Ticks() - at) >= 0; }

    static void Deliver(const headless::ScriptedEvent& e) {
        using Kind = headless::ScriptedEvent::Kind;
        switch (e.Type) {
        case Kind::Key: platform_detail::DeliverKey(e.Key); break;
        case Kind::KeyDown:
            if (e.Code == KeyCode::Escape) platform_detail::DeliverKey(27);
            if (e.Code == KeyCode::Enter) platform_detail::DeliverKey(13);
            if (e.Code == KeyCode::Backspace) platform_detail::DeliverKey(8);
            if (e.Code >= KeyCode::F1 && e.Code <= KeyCode::F12) platform_detail::DeliverKeyDown(e.Code, e.Shift);
            break;
        case Kind::Close: platform_detail::DeliverKey(27); break;
        case Kind::MouseDown: platform_detail::DeliverMouseDown(e.Button, e.Shift, e.X, e.Y, 1); break;
        case Kind::DblClick: platform_detail::DeliverMouseDown(e.Button, e.Shift, e.X, e.Y, 2); break;
        }
    }

    double outputScale_ = 1.0;
    uint64_t units_ = 0;
    uint64_t frames_ = 0;
    std::deque<headless::ScriptedEvent> script_;
    std::function<void(const DirectDrawSurface7&, uint64_t)> onFlip_;
    std::function<void(const DirectDrawSurface7&, std::string_view)> onDialogFrame_;
};

HeadlessDisplay* Headless() { return dynamic_cast<HeadlessDisplay*>(platform_detail::CurrentBackend()); }

}  // namespace

std::unique_ptr<DisplayBackend> platform_detail::MakeHeadlessDisplay() {
    return std::make_unique<HeadlessDisplay>();
}

namespace platform_detail {

std::optional<headless::ScriptedEvent> TakeDueScriptedEvent() {
    auto* h = Headless();
    return h ? h->TakeDue() : std::nullopt;
}
void WaitOneRefresh() {
    if (auto* h = Headless()) h->WaitRefresh();
}
void ShowHeadlessDialogFrame(const DirectDrawSurface7& frame, std::string_view caption) {
    if (auto* h = Headless()) h->ShowDialogFrame(frame, caption);
}

}  // namespace platform_detail

namespace headless {

void SetClock(uint32_t ms) {
    if (auto* h = Headless()) h->SetClock(ms);
}
void AdvanceClock(uint32_t ms) {
    if (auto* h = Headless()) h->AdvanceClock(ms);
}
void Script(std::vector<ScriptedEvent> events) {
    if (auto* h = Headless()) h->Script(std::move(events));
}
size_t PendingEvents() {
    auto* h = Headless();
    return h ? h->Pending() : 0;
}
uint64_t FrameCount() {
    auto* h = Headless();
    return h ? h->Frames() : 0;
}
void OnFlip(std::function<void(const DirectDrawSurface7& frame, uint64_t frame_number)> hook) {
    if (auto* h = Headless()) h->OnFlip(std::move(hook));
}
void OnDialogFrame(std::function<void(const DirectDrawSurface7& frame, std::string_view caption)> hook) {
    if (auto* h = Headless()) h->OnDialogFrame(std::move(hook));
}
void SetOutputScale(double scale) {
    if (auto* h = Headless()) h->SetOutputScale(scale);
    platform_detail::SyncComposeScale();
}

}  // namespace headless

}  // namespace dexlora
