#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>

#include "core/tree_node.h"

// A node of the tree as a walk reads it: its depth (0 for a top node), its
// text cut to 49 bytes as NodeText gives it, and its check state.
struct TreeNodeState {
    int depth;
    std::string text;
    CheckMark checkState;
};

// What the window's taskbar button shows of a run: nothing, its progress,
// or its progress marked as failed.
enum class TaskbarProgress { none, normal, error };

// The only way the logic reaches the window. The Win32 realization sends
// messages to the real controls; tests use an in-memory one.
// Tree nodes are tree-view item handles; null stands for the root.
class CWindowOperations {
public:
    virtual ~CWindowOperations() = default;

    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetTitle(const std::string& text) = 0;
    virtual void SetInfoTexts(const std::string& title, const std::string& body) = 0;
    virtual void DisableControls() = 0;
    virtual void EnableControls() = 0;
    // Edit boxes are named by their handles (pak0Edit, folderEdit).
    virtual std::string GetEditText(HWND edit) = 0;
    virtual void SetEditText(HWND edit, const std::string& text) = 0;

    virtual void SetItemProgress(unsigned percent) = 0;
    virtual void SetOverallProgress(unsigned percent) = 0;
    virtual unsigned OverallProgress() = 0;
    // The taskbar button, where a player looks while another window is in
    // front; a system without one goes on without it.
    virtual void SetTaskbarProgress(TaskbarProgress state, unsigned percent) = 0;
    // On the window thread, by whoever starts a worker that reports here
    // and ends it: the window follows what the worker shows from the first
    // call to the matching second, and shows its last state at the second.
    virtual void BeginShowingWorker() {}
    virtual void EndShowingWorker() {}

    virtual HTREEITEM InsertNode(HTREEITEM parent, const std::string& text) = 0;
    // Inserts the nodes in order, as InsertNode one by one, and returns their
    // handles. The real window takes a worker's batch in one trip to its thread.
    virtual std::vector<HTREEITEM> InsertNodes(const std::vector<NewTreeNode>& nodes)
    {
        std::vector<HTREEITEM> handles;
        for (const NewTreeNode& node : nodes) {
            bool known = node.parent >= 0 && static_cast<size_t>(node.parent) < handles.size();
            handles.push_back(InsertNode(known ? handles[node.parent] : nullptr, node.text));
        }
        return handles;
    }
    // Every node, a node before its children and they before its next
    // sibling, as FirstTopNode, FirstChild, NextSibling, NodeText and
    // CheckState give them. The real window reads them a few hundred at a
    // time, each batch in one trip to its thread.
    virtual std::vector<TreeNodeState> ReadAllNodes()
    {
        std::vector<TreeNodeState> states;
        TreeWalk walk;
        while (ReadNodes(walk, SIZE_MAX, states)) {
        }
        return states;
    }

    // Where a walk of the tree stands: the next node to read and its parents.
    struct TreeWalk {
        bool started = false;
        HTREEITEM next = nullptr;
        std::vector<HTREEITEM> parents;
    };
    // Reads up to `count` more nodes of the walk; false once it is over.
    bool ReadNodes(TreeWalk& walk, size_t count, std::vector<TreeNodeState>& states)
    {
        if (!walk.started) {
            walk.started = true;
            walk.next = FirstTopNode();
        }
        for (; walk.next && count > 0; --count) {
            HTREEITEM node = walk.next;
            states.push_back({static_cast<int>(walk.parents.size()), NodeText(node), CheckState(node)});
            if ((walk.next = FirstChild(node))) {
                walk.parents.push_back(node);
                continue;
            }
            walk.next = NextSibling(node);
            while (!walk.next && !walk.parents.empty()) {
                walk.next = NextSibling(walk.parents.back());
                walk.parents.pop_back();
            }
        }
        return walk.next != nullptr;
    }

    virtual void DeleteAllNodes() = 0;
    virtual HTREEITEM FirstTopNode() = 0;
    virtual HTREEITEM FirstChild(HTREEITEM node) = 0;
    virtual HTREEITEM NextSibling(HTREEITEM node) = 0;
    virtual HTREEITEM SelectedNode() = 0;
    virtual std::string NodeText(HTREEITEM node) = 0;  // cut to 49 bytes
    virtual CheckMark CheckState(HTREEITEM node) = 0;
    virtual void SetCheckState(HTREEITEM node, CheckMark state) = 0;
    virtual void SelectNode(HTREEITEM node) = 0;
    virtual void CollapseNode(HTREEITEM node) = 0;
    virtual void ExpandNode(HTREEITEM node) = 0;
    // The tree shows none of the changes between the two; the second shows
    // them all at once.
    virtual void HoldTreePainting() = 0;
    virtual void ResumeTreePainting() = 0;

    // Questions and notices for the user; returns the button pressed (IDOK, IDRETRY, ...).
    virtual int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) = 0;
};
