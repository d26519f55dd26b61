#pragma once

// libcurl's global state: started before the first transfer of a run, ended
// at shutdown once no worker can be inside a transfer.
// With it starts the one connection share of the process, which every
// transfer uses and the last end releases.
void StartTransferLibrary();
void EndTransferLibrary();
// The CURLSH of the process; null before the library is started.
void* ConnectionShare();

// One libcurl easy handle, released with its owner. Only transfer/ looks
// inside; everyone else just holds it.
class CEasyHandle {
public:
    CEasyHandle();
    ~CEasyHandle();
    CEasyHandle(const CEasyHandle&) = delete;
    CEasyHandle& operator=(const CEasyHandle&) = delete;

    // The CURL pointer; null when libcurl could not make a handle.
    void* Get() const { return handle; }

    // libcurl's code of an option that the transfer cannot go without and
    // that libcurl refused; the transfer then fails with it, unrun.
    int refusedOption = 0;

private:
    void* handle;
};
