// Services the platform session owns: made at their first use in a session,
// gone when it ends, so that nothing of one session (an open font, a text
// rendered in it) reaches the next. Private to platform/.
#pragma once

#include <memory>

#include "platform/detail/display_backend.h"
#include "platform/detail/sdl_internal.h"

namespace dexlora::platform_detail {

// The one object of C while it exists: Current() is null before it is made
// and again once it is gone.
template <class C>
class Currenton {
public:
    static C* Current() { return current_; }

protected:
    Currenton() { current_ = static_cast<C*>(this); }
    ~Currenton() { current_ = nullptr; }
    Currenton(const Currenton&) = delete;
    Currenton& operator=(const Currenton&) = delete;

private:
    static inline C* current_ = nullptr;
};

// The running session's C, made now if it has none; destroyed when the
// session ends, with its other teardowns (the latest made first), before the
// display and SDL close. Null outside a session.
template <class C>
C* SessionOwned() {
    if (C* current = C::Current()) return current;
    if (!CurrentBackend()) return nullptr;
    auto owned = std::make_shared<C>();
    AtSessionEnd([owned]() mutable { owned.reset(); });
    return owned.get();
}

}  // namespace dexlora::platform_detail
