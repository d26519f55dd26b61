#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/window_operations.h"

// Window operations kept in memory, for tests: texts, enabled state,
// progress, a tree with check states, and scripted message-box answers.
class CMemoryWindowOperations : public CWindowOperations {
public:
    struct Node {
        std::string text;
        HTREEITEM parent = nullptr;
        std::vector<HTREEITEM> children;
        CheckMark checkState = checkUnchecked;
        bool expanded = false;
    };
    struct ShownMessage {
        std::string text;
        std::string caption;
        UINT type;
    };

    // Installs itself as theApp.ui for its lifetime.
    CMemoryWindowOperations();
    ~CMemoryWindowOperations() override;

    void SetStatus(const std::string& text) override;
    void SetTitle(const std::string& text) override { title = text; }
    void SetInfoTexts(const std::string& titleText, const std::string& body) override;
    void DisableControls() override { controlsEnabled = false; }
    void EnableControls() override { controlsEnabled = true; }
    std::string GetEditText(HWND edit) override;
    void SetEditText(HWND edit, const std::string& text) override;

    void SetItemProgress(unsigned percent) override { itemProgress = percent > 100 ? 100 : percent; }
    void SetOverallProgress(unsigned percent) override { overallProgress = percent > 100 ? 100 : percent; }
    unsigned OverallProgress() override { return overallProgress; }
    void SetTaskbarProgress(TaskbarProgress state, unsigned percent) override
    {
        taskbarCalls.push_back({state, percent});
    }

    HTREEITEM InsertNode(HTREEITEM parent, const std::string& text) override;
    void DeleteAllNodes() override;
    HTREEITEM FirstTopNode() override;
    HTREEITEM FirstChild(HTREEITEM node) override;
    HTREEITEM NextSibling(HTREEITEM node) override;
    HTREEITEM SelectedNode() override { return selected; }
    std::string NodeText(HTREEITEM node) override;
    CheckMark CheckState(HTREEITEM node) override;
    void SetCheckState(HTREEITEM node, CheckMark state) override;
    void SelectNode(HTREEITEM node) override;
    void CollapseNode(HTREEITEM node) override;
    void ExpandNode(HTREEITEM node) override;
    void HoldTreePainting() override { ++paintingHolds; }
    void ResumeTreePainting() override { --paintingHolds; }

    int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) override;

    // The tree as an indented outline: one line per node, "[x] " when checked.
    std::string Outline() const;
    Node& At(HTREEITEM node) { return nodes.at(reinterpret_cast<size_t>(node) - 1); }

    std::vector<std::string> statusHistory;
    std::string title, infoTitle, infoBody;
    bool controlsEnabled = true;
    unsigned itemProgress = 0, overallProgress = 0;
    struct TaskbarCall {
        TaskbarProgress state;
        unsigned percent;
    };
    std::vector<TaskbarCall> taskbarCalls;
    std::map<HWND, std::string> editTexts;
    std::vector<Node> nodes;  // handle = index + 1; deleted nodes stay unreachable
    std::vector<HTREEITEM> topNodes;
    HTREEITEM selected = nullptr;
    std::vector<ShownMessage> shownMessages;
    std::vector<int> answers;  // taken from the front; IDOK when none is left
    std::function<void()> selectionChanged;
    int paintingHolds = 0;  // held and not yet resumed

private:
    CWindowOperations* previous;
    const std::vector<HTREEITEM>& Siblings(HTREEITEM node);
};
