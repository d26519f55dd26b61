#pragma once
#include <chrono>

// What one control shows, and the change held back from it. Nobody follows
// more than about 60 changes a second of one control, while every change
// that a worker sends costs a round trip to the window thread; so a change
// that comes sooner than that after the last one shown is held, and shown
// by the next change that comes late enough or when the held ones are asked for.
template <typename Value>
class CPacedControl {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kInterval = std::chrono::milliseconds(16);

    // True when `value` is to be shown now; otherwise it needs no change or is held.
    bool Admit(const Value& value, Clock::time_point now)
    {
        if (known && value == shown) {
            holding = false;
            return false;
        }
        if (known && now - shownAt < kInterval) {
            held = value;
            holding = true;
            return false;
        }
        return true;
    }

    void Shown(const Value& value, Clock::time_point now)
    {
        shown = value;
        known = true;
        shownAt = now;
        holding = false;
    }

    // The last value shown or held; false when there is none yet.
    bool Latest(Value& value) const
    {
        if (!known && !holding)
            return false;
        value = holding ? held : shown;
        return true;
    }

    // The held change, now to be shown; false when none is held.
    bool TakeHeld(Value& value)
    {
        if (!holding)
            return false;
        value = held;
        holding = false;
        return true;
    }

private:
    Value shown{};
    Value held{};
    bool known = false;
    bool holding = false;
    Clock::time_point shownAt;
};
