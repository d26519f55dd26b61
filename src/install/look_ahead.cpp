#include "install/look_ahead.h"

#include <map>
#include <windows.h>

#include "core/file_system.h"

namespace {

constexpr size_t kFilesAhead = 8;
constexpr uint64_t kBytesAhead = 256ull << 20;
constexpr int kPerHost = 6;

// Inside the installation folder: the same disk, so a file fetched ahead
// reaches its place by a rename. No catalogue path can name it (a record's
// folder may not hold a "?").
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

void FetchedAhead::Replay(const DownloadReport& report) const
{
    for (const Event& event : events) {
        if (event.kind == Event::line)
            report.Line(event.text);
        else if (event.kind == Event::startingAnew && report.startingAnew)
            report.startingAnew();
        else if (event.kind == Event::received && report.received)
            report.received(event.bytes);
    }
}

CLookAhead::CLookAhead(std::vector<PlannedFile> planned, const std::string& installPath, int transfers,
                       const StopRequest& stop)
    : files(std::move(planned)), states(files.size(), State::waiting), fetched(files.size()),
      folder(AheadFolder(installPath)), stop(stop)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
    for (int i = 0; i < transfers; ++i)
        workers.emplace_back([this] { Work(); });
}

CLookAhead::~CLookAhead()
{
    {
        std::lock_guard<std::mutex> hold(lock);
        ending = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers)
        worker.join();
    fetched.clear();  // their side files go with them
    RemoveDirectoryA(folder.c_str());
}

bool CLookAhead::MayStart(size_t index) const
{
    if (index > turn + kFilesAhead)
        return false;
    const PlannedFile& file = files[index];
    // One file may always be under way, however large.
    if (bytesAhead > 0 && bytesAhead + file.declaredSize > kBytesAhead)
        return false;
    std::string host = HostOf(file.urlLine);
    int sameHost = 0;
    for (size_t i = turn; i < index; ++i)
        if (states[i] == State::fetching && HostOf(files[i].urlLine) == host)
            ++sameHost;
    return sameHost < kPerHost;
}

void CLookAhead::Work()
{
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        changed.wait(hold, [this] {
            return ending || stop || (nextToStart < files.size() && MayStart(nextToStart));
        });
        if (ending || stop)
            return;
        size_t index = nextToStart++;
        const PlannedFile& file = files[index];
        // Refused, or there already: its turn decides, and nothing is fetched.
        std::optional<uint64_t> onDisk = file.localPath.empty() ? std::nullopt : FileSizeOf(file.localPath);
        if (file.localPath.empty() || (onDisk && *onDisk == file.declaredSize)) {
            changed.notify_all();
            continue;
        }
        states[index] = State::fetching;
        bytesAhead += file.declaredSize;
        hold.unlock();

        auto ahead = std::make_unique<FetchedAhead>();
        std::vector<FetchedAhead::Event>& events = ahead->events;
        DownloadReport report;
        report.line = [&events](const std::string& text) { events.push_back({FetchedAhead::Event::line, text, 0}); };
        report.startingAnew = [&events] { events.push_back({FetchedAhead::Event::startingAnew, "", 0}); };
        // Blocks run together: only their sum counts.
        report.received = [&events](uint32_t bytes) {
            if (!events.empty() && events.back().kind == FetchedAhead::Event::received)
                events.back().bytes += bytes;
            else
                events.push_back({FetchedAhead::Event::received, "", bytes});
        };
        std::string staged = folder + "\\" + std::to_string(index);
        ahead->result = FetchFile(file.urlLine, staged, ahead->side, report, stop);

        hold.lock();
        fetched[index] = std::move(ahead);
        states[index] = State::fetched;
        changed.notify_all();
    }
}

std::unique_ptr<FetchedAhead> CLookAhead::Take(size_t index)
{
    std::unique_lock<std::mutex> hold(lock);
    turn = index;
    if (index >= nextToStart)
        nextToStart = index + 1;  // the run fetches this one itself
    changed.notify_all();
    changed.wait(hold, [this, index] { return states[index] != State::fetching; });
    std::unique_ptr<FetchedAhead> ahead = std::move(fetched[index]);
    if (states[index] == State::fetched)
        bytesAhead -= files[index].declaredSize;
    states[index] = State::taken;
    changed.notify_all();
    return ahead;
}
