#pragma once
#include "core/window_operations.h"
#include "ui/paced_control.h"

// Lets a control take a worker's batches and texts in one message each: its
// own procedure stays behind ours. Done once, on the window thread, when the
// control is made (the status line and the tree).
bool AcceptWorkerMessages(HWND control);

// Window operations on the real controls held by theApp. Workers call them
// from their own threads; SendMessage makes each one synchronous.
class CWin32WindowOperations : public CWindowOperations {
public:
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
    void ShowHeldChanges() override;

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

private:
    using Clock = std::chrono::steady_clock;
    void EnableAll(BOOL enable);
    void ShowStatus(const std::string& text, Clock::time_point now);
    void ShowProgress(HWND bar, CPacedControl<unsigned>& paced, unsigned percent, Clock::time_point now);

    // What the status line and the bars show, so that a worker's repeated
    // or too frequent changes do not each cost a round trip to the window thread.
    CPacedControl<std::string> status;
    CPacedControl<unsigned> itemBar;
    CPacedControl<unsigned> overallBar;
};
