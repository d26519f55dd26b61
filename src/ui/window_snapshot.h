#pragma once
#include <mutex>
#include <string>

#include "core/window_operations.h"

// What the workers want the status line, the two bars and the info texts to
// show: written from any thread under one lock, read by the window thread,
// which shows it about 60 times a second while a worker runs and once more
// when the worker ends. A worker never waits for the window, and the last
// value written is the one shown.
class CWindowSnapshot {
public:
    struct Values {
        std::string status;
        unsigned itemBar = 0;
        unsigned overallBar = 0;
        std::string infoTitle;
        std::string infoBody;
        TaskbarProgress taskbarState = TaskbarProgress::none;
        unsigned taskbarPercent = 0;
    };
    // Which values changed since the window last took them.
    enum Changed : unsigned {
        statusChanged = 1, itemBarChanged = 2, overallBarChanged = 4, infoChanged = 8, taskbarChanged = 16
    };

    void SetStatus(const std::string& text);
    void SetItemBar(unsigned percent);
    void SetOverallBar(unsigned percent);
    void SetInfoTexts(const std::string& title, const std::string& body);
    void SetTaskbar(TaskbarProgress state, unsigned percent);
    // What the lower bar was last given.
    unsigned OverallBar() const;
    // Copies into `values` what changed since the last call; the bits of
    // Changed say which, 0 when nothing did.
    unsigned TakeChanges(Values& values);

private:
    mutable std::mutex lock;
    Values latest;
    unsigned changed = 0;
};
