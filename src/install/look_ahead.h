#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/side_file.h"
#include "core/workers.h"
#include "transfer/file_download.h"

// A file of the run, in the run's order.
struct PlannedFile {
    std::string urlLine;
    std::string localPath;  // empty when the record's path is refused: never fetched ahead
    uint32_t declaredSize = 0;
};

// A file being fetched, or fetched, ahead of its turn: what its download
// reports, kept in order for the run to tell when its turn comes, and the
// file, in a side file of its own until the run places it.
class CFetchAhead {
public:
    struct Event {
        enum Kind { line, startingAnew, received } kind;
        std::string text;
        uint32_t bytes;
    };

    // On the transfer's thread.
    void Fetch(const PlannedFile& file, const std::string& stagedPath);
    // On the run's thread: tells `report` what the download reported, in
    // order, as it comes, until the download is over or `stop` is set.
    // The download's result; not whole after a stop.
    FetchResult Replay(const DownloadReport& report, const StopRequest& stop);
    bool Done();
    // Over, and an attempt failed on this side (the file could not be made
    // or written): the one-at-a-time run would not have come to the same.
    bool CannotWrite();
    // Ends the transfer at its next check; what it fetched is thrown away.
    void Cancel() { cancel = true; }

    CSideFile side;  // the run's once Replay has returned

private:
    void Add(Event event);
    std::mutex lock;
    std::condition_variable added;
    std::vector<Event> events;
    size_t told = 0;  // events the run has told
    bool done = false;
    FetchResult result;
    StopRequest cancel{false};
};

// Fetches the files after the current one side by side while the run works
// on it (installs it, unpacks it): up to `transfers` at once beside the
// run's own, 6 to one host,
// 8 files or 256 MB ahead. The files arrive in a hidden folder of the
// installation folder; the run takes each at its turn, in order, and
// decides then what the one-at-a-time run would decide.
class CLookAhead {
public:
    CLookAhead(std::vector<PlannedFile> files, const std::string& installPath, int transfers,
               const StopRequest& stop);
    ~CLookAhead();  // ends the transfers and removes what was not taken
    CLookAhead(const CLookAhead&) = delete;
    CLookAhead& operator=(const CLookAhead&) = delete;

    // The run's turn has come to file `index` (each index once, in order):
    // its fetch, under way or over; null when it was not started, and the
    // run fetches the file itself.
    std::shared_ptr<CFetchAhead> Take(size_t index);

private:
    void Work();
    bool MayStart(size_t index) const;
    void EndAll();

    std::vector<PlannedFile> files;
    std::vector<std::shared_ptr<CFetchAhead>> fetches;
    std::vector<bool> taken;
    std::string folder;
    const StopRequest& stop;
    std::mutex lock;
    std::condition_variable changed;
    size_t nextToStart = 0;
    size_t turn = 0;
    bool ending = false;
    std::vector<std::thread> workers;
};
