#include "ui/window_snapshot.h"

void CWindowSnapshot::SetStatus(const std::string& text)
{
    std::lock_guard<std::mutex> hold(lock);
    latest.status = text;
    changed |= statusChanged;
}

void CWindowSnapshot::SetItemBar(unsigned percent)
{
    std::lock_guard<std::mutex> hold(lock);
    latest.itemBar = percent;
    changed |= itemBarChanged;
}

void CWindowSnapshot::SetOverallBar(unsigned percent)
{
    std::lock_guard<std::mutex> hold(lock);
    latest.overallBar = percent;
    changed |= overallBarChanged;
}

void CWindowSnapshot::SetInfoTexts(const std::string& title, const std::string& body)
{
    std::lock_guard<std::mutex> hold(lock);
    latest.infoTitle = title;
    latest.infoBody = body;
    changed |= infoChanged;
}

void CWindowSnapshot::SetTaskbar(TaskbarProgress state, unsigned percent)
{
    std::lock_guard<std::mutex> hold(lock);
    latest.taskbarState = state;
    latest.taskbarPercent = percent;
    changed |= taskbarChanged;
}

unsigned CWindowSnapshot::OverallBar() const
{
    std::lock_guard<std::mutex> hold(lock);
    return latest.overallBar;
}

unsigned CWindowSnapshot::TakeChanges(Values& values)
{
    std::lock_guard<std::mutex> hold(lock);
    unsigned taken = changed;
    changed = 0;
    if (taken & statusChanged)
        values.status = latest.status;
    if (taken & itemBarChanged)
        values.itemBar = latest.itemBar;
    if (taken & overallBarChanged)
        values.overallBar = latest.overallBar;
    if (taken & taskbarChanged) {
        values.taskbarState = latest.taskbarState;
        values.taskbarPercent = latest.taskbarPercent;
    }
    if (taken & infoChanged) {
        values.infoTitle = latest.infoTitle;
        values.infoBody = latest.infoBody;
    }
    return taken;
}
