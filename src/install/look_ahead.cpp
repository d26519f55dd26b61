#include "install/look_ahead.h"

#include <chrono>
#include <windows.h>

#include "core/file_system.h"

namespace {

constexpr size_t kFilesAhead = 8;
constexpr uint64_t kBytesAhead = 256ull << 20;
constexpr int kPerHost = 6;
// How often a waiting thread looks at the window's stop request.
constexpr auto kStopLook = std::chrono::milliseconds(50);

// Inside the installation folder: the same disk, so a file fetched ahead
// reaches its place by a rename.
std::string AheadFolder(const std::string& installPath)
{
    return (installPath.empty() ? "" : installPath + "\\") + "~tavrin-ahead";
}

// The host of a record's first URL, as the connections to it count.
std::string HostOf(const std::string& urlLine)
{
    std::string url = urlLine.substr(0, urlLine.find(' '));
    size_t start = url.find("://");
    start = start == std::string::npos ? 0 : start + 3;
    return url.substr(start, url.find('/', start) - start);
}

}  // namespace

void CFetchAhead::Add(Event event)
{
    {
        std::lock_guard<std::mutex> hold(lock);
        // Blocks run together, only their sum counts, unless the run has
        // told the last one already.
        if (event.kind == Event::received && events.size() > told && events.back().kind == Event::received)
            events.back().bytes += event.bytes;
        else
            events.push_back(std::move(event));
    }
    added.notify_all();
}

void CFetchAhead::Fetch(const PlannedFile& file, const std::string& stagedPath)
{
    DownloadReport report;
    report.line = [this](const std::string& text) { Add({Event::line, text, 0}); };
    report.startingAnew = [this] { Add({Event::startingAnew, "", 0}); };
    report.received = [this](uint32_t bytes) { Add({Event::received, "", bytes}); };
    FetchResult fetched = FetchFile(file.urlLine, stagedPath, side, report, cancel);
    {
        std::lock_guard<std::mutex> hold(lock);
        result = fetched;
        done = true;
    }
    added.notify_all();
}

bool CFetchAhead::Done()
{
    std::lock_guard<std::mutex> hold(lock);
    return done;
}

bool CFetchAhead::CannotWrite()
{
    std::lock_guard<std::mutex> hold(lock);
    return done && result.cannotWrite;
}

FetchResult CFetchAhead::Replay(const DownloadReport& report, const StopRequest& stop)
{
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        if (told < events.size()) {
            // Told outside the lock: the transfer goes on meanwhile.
            Event event = events[told++];
            hold.unlock();
            if (event.kind == Event::line)
                report.Line(event.text);
            else if (event.kind == Event::startingAnew && report.startingAnew)
                report.startingAnew();
            else if (event.kind == Event::received && report.received)
                report.received(event.bytes);
            hold.lock();
            continue;
        }
        if (done)
            return result;
        if (stop) {
            cancel = true;
            added.wait(hold, [this] { return done; });
            return FetchResult();
        }
        added.wait_for(hold, kStopLook);
    }
}

CLookAhead::CLookAhead(std::vector<PlannedFile> planned, const std::string& installPath, int transfers,
                       const StopRequest& stop)
    : files(std::move(planned)), fetches(files.size()), taken(files.size(), false),
      folder(AheadFolder(installPath)), stop(stop)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
    for (int i = 0; i < transfers; ++i)
        workers.emplace_back([this] { Work(); });
}

CLookAhead::~CLookAhead()
{
    EndAll();
    for (std::thread& worker : workers)
        worker.join();
    fetches.clear();  // their side files go with them
    RemoveDirectoryA(folder.c_str());
}

void CLookAhead::EndAll()
{
    {
        std::lock_guard<std::mutex> hold(lock);
        ending = true;
        for (const std::shared_ptr<CFetchAhead>& fetch : fetches)
            if (fetch)
                fetch->Cancel();
    }
    changed.notify_all();
}

bool CLookAhead::MayStart(size_t index) const
{
    if (index > turn + kFilesAhead)
        return false;
    const PlannedFile& file = files[index];
    std::string host = HostOf(file.urlLine);
    uint64_t bytesAhead = 0;
    int sameHost = 0;
    for (size_t i = turn; i < index; ++i) {
        if (!fetches[i] || taken[i])
            continue;
        bytesAhead += files[i].declaredSize;
        if (!fetches[i]->Done() && HostOf(files[i].urlLine) == host)
            ++sameHost;
    }
    // One file may always be under way, however large.
    if (bytesAhead > 0 && bytesAhead + file.declaredSize > kBytesAhead)
        return false;
    return sameHost < kPerHost;
}

void CLookAhead::Work()
{
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        while (!ending && !stop && !(nextToStart < files.size() && MayStart(nextToStart)))
            changed.wait_for(hold, kStopLook);
        if (ending || stop) {
            hold.unlock();
            EndAll();
            return;
        }
        size_t index = nextToStart++;
        const PlannedFile& file = files[index];
        // Refused, or there already: its turn decides, and nothing is fetched.
        std::optional<uint64_t> onDisk = file.localPath.empty() ? std::nullopt : FileSizeOf(file.localPath);
        if (file.localPath.empty() || (onDisk && *onDisk == file.declaredSize))
            continue;
        auto fetch = std::make_shared<CFetchAhead>();
        fetches[index] = fetch;
        hold.unlock();
        fetch->Fetch(file, folder + "\\" + std::to_string(index));
        hold.lock();
        changed.notify_all();
    }
}

std::shared_ptr<CFetchAhead> CLookAhead::Take(size_t index)
{
    std::lock_guard<std::mutex> hold(lock);
    turn = index;
    if (index >= nextToStart)
        nextToStart = index + 1;  // the run fetches this one itself
    taken[index] = true;
    changed.notify_all();
    return std::move(fetches[index]);
}
