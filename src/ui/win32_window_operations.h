#pragma once
#include "core/window_operations.h"
#include "core/workers.h"
#include "ui/window_snapshot.h"

class CApplication;

// Lets the tree take a worker's batches in one message each: its own
// procedure stays behind ours. Done once, on the window thread, when the
// control is made.
bool AcceptWorkerMessages(HWND control);

// Window operations on the real controls of `app`. The status line, the
// bars and the info texts a worker changes go into a snapshot that the
// window thread shows on a timer while workers run; every other
// operation is carried out on the window thread, the tree's in batches.
class CWin32WindowOperations : public CWindowOperations {
public:
    // `stop`: the window is closing, and a worker's question is answered as
    // its Cancel button without being asked.
    CWin32WindowOperations(CApplication& app, const StopRequest& stop) : app(app), stop(stop) {}

    void SetStatus(const std::string& text) override;
    void SetTitle(const std::string& text) override;
    void SetInfoTexts(const std::string& title, const std::string& body) override;
    void DisableControls() override;
    void EnableControls() override;
    std::string GetEditText(HWND edit) override;
    void SetEditText(HWND edit, const std::string& text) override;

    void SetItemProgress(unsigned percent) override;
    void SetOverallProgress(unsigned percent) override;
    unsigned OverallProgress() override;
    void SetTaskbarProgress(TaskbarProgress state, unsigned percent) override;

    HTREEITEM InsertNode(HTREEITEM parent, const std::string& text) override;
    std::vector<HTREEITEM> InsertNodes(const std::vector<NewTreeNode>& nodes) override;
    std::vector<TreeNodeState> ReadAllNodes() override;
    void DeleteAllNodes() override;
    HTREEITEM FirstTopNode() override;
    HTREEITEM FirstChild(HTREEITEM node) override;
    HTREEITEM NextSibling(HTREEITEM node) override;
    HTREEITEM SelectedNode() override;
    std::string NodeText(HTREEITEM node) override;
    CheckMark CheckState(HTREEITEM node) override;
    void SetCheckState(HTREEITEM node, CheckMark state) override;
    void SelectNode(HTREEITEM node) override;
    void CollapseNode(HTREEITEM node) override;
    void ExpandNode(HTREEITEM node) override;
    void HoldTreePainting() override;
    void ResumeTreePainting() override;

    int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) override;

    // The snapshot is shown about 60 times a second from the first until
    // every worker that began has ended; the end shows it once more.
    void BeginShowingWorker() override;
    void EndShowingWorker() override;
    // On the window thread: the controls take what changed in the snapshot.
    void ShowSnapshot();

private:
    void EnableAll(BOOL enable);
    void ShowOnTaskbar(TaskbarProgress state, unsigned percent);
    HTREEITEM TreeNextItem(HTREEITEM node, WPARAM relation);
    // Shows at once when called on the window thread.
    void Changed();

    CApplication& app;
    const StopRequest& stop;
    CWindowSnapshot snapshot;
    // What the controls were last given, on the window thread, and which
    // controls they were.
    CWindowSnapshot::Values shown;
    HWND shownFor = nullptr;
    // The shell's taskbar button, made at its first use on the window thread;
    // null where the system has none.
    struct ITaskbarList3* taskbar = nullptr;
    bool taskbarTried = false;
    int showing = 0;
};
