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

// What a file fetched ahead brought: what its download reported, in order,
// to be told when its turn comes, and the file, still in a side file of
// its own.
struct FetchedAhead {
    struct Event {
        enum Kind { line, startingAnew, received } kind;
        std::string text;
        uint32_t bytes;
    };
    std::vector<Event> events;
    FetchResult result;
    CSideFile side;
    // Tells the events to `report` as the download told them.
    void Replay(const DownloadReport& report) const;
};

// Fetches the files after the current one side by side while the run works
// on it (installs it, unpacks it): up to `transfers` at once, 6 to one host,
// 8 files or 256 MB ahead. The files wait in a hidden folder of the
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
    // what was fetched ahead for it, waited for while it is under way; null
    // when it was not fetched ahead, and the run fetches it itself.
    std::unique_ptr<FetchedAhead> Take(size_t index);

private:
    enum class State { waiting, fetching, fetched, taken };
    void Work();
    bool MayStart(size_t index) const;

    std::vector<PlannedFile> files;
    std::vector<State> states;
    std::vector<std::unique_ptr<FetchedAhead>> fetched;
    std::string folder;
    const StopRequest& stop;
    std::mutex lock;
    std::condition_variable changed;
    size_t nextToStart = 0;
    size_t turn = 0;
    uint64_t bytesAhead = 0;
    bool ending = false;
    std::vector<std::thread> workers;
};
