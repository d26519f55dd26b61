#include "support/memory_window_operations.h"

#include <algorithm>

#include "core/application.h"

CMemoryWindowOperations::CMemoryWindowOperations() : previous(theApp.ui)
{
    theApp.ui = this;
}

CMemoryWindowOperations::~CMemoryWindowOperations()
{
    theApp.ui = previous;
}

void CMemoryWindowOperations::SetStatus(const std::string& text)
{
    statusHistory.push_back(text);
}

void CMemoryWindowOperations::SetInfoTexts(const std::string& titleText, const std::string& body)
{
    infoTitle = titleText;
    infoBody = body;
}

std::string CMemoryWindowOperations::GetEditText(HWND edit)
{
    if (!edit)
        return "";
    return editTexts[edit].substr(0, 259);
}

void CMemoryWindowOperations::SetEditText(HWND edit, const std::string& text)
{
    if (edit)
        editTexts[edit] = text;
}

HTREEITEM CMemoryWindowOperations::InsertNode(HTREEITEM parent, const std::string& text)
{
    Node node;
    node.text = text;
    node.parent = parent;
    nodes.push_back(node);
    HTREEITEM handle = reinterpret_cast<HTREEITEM>(nodes.size());
    if (parent)
        At(parent).children.push_back(handle);
    else
        topNodes.push_back(handle);
    return handle;
}

void CMemoryWindowOperations::DeleteAllNodes()
{
    for (Node& node : nodes)
        node.children.clear();
    topNodes.clear();
    selected = nullptr;
}

const std::vector<HTREEITEM>& CMemoryWindowOperations::Siblings(HTREEITEM node)
{
    HTREEITEM parent = At(node).parent;
    return parent ? At(parent).children : topNodes;
}

HTREEITEM CMemoryWindowOperations::FirstTopNode()
{
    return topNodes.empty() ? nullptr : topNodes.front();
}

HTREEITEM CMemoryWindowOperations::FirstChild(HTREEITEM node)
{
    const std::vector<HTREEITEM>& children = node ? At(node).children : topNodes;
    return children.empty() ? nullptr : children.front();
}

HTREEITEM CMemoryWindowOperations::NextSibling(HTREEITEM node)
{
    if (!node)
        return nullptr;
    const std::vector<HTREEITEM>& siblings = Siblings(node);
    auto at = std::find(siblings.begin(), siblings.end(), node);
    if (at == siblings.end() || at + 1 == siblings.end())
        return nullptr;
    return *(at + 1);
}

std::string CMemoryWindowOperations::NodeText(HTREEITEM node)
{
    return node ? At(node).text.substr(0, 49) : "";
}

CheckMark CMemoryWindowOperations::CheckState(HTREEITEM node)
{
    return node ? At(node).checkState : CheckMark{};
}

void CMemoryWindowOperations::SetCheckState(HTREEITEM node, CheckMark state)
{
    if (node)
        At(node).checkState = state;
}

void CMemoryWindowOperations::SelectNode(HTREEITEM node)
{
    // Like the control: parents open to show the node, then the change is reported.
    for (HTREEITEM up = node ? At(node).parent : nullptr; up; up = At(up).parent)
        At(up).expanded = true;
    bool changed = node != selected;
    selected = node;
    if (changed && selectionChanged)
        selectionChanged();
}

// Like the control under Wine: a selection hidden by the closing moves up
// to the node, and no change is reported.
void CMemoryWindowOperations::CollapseNode(HTREEITEM node)
{
    if (!node)
        return;
    At(node).expanded = false;
    for (HTREEITEM up = selected ? At(selected).parent : nullptr; up; up = At(up).parent)
        if (up == node)
            selected = node;
}

void CMemoryWindowOperations::ExpandNode(HTREEITEM node)
{
    if (node)
        At(node).expanded = true;
}

int CMemoryWindowOperations::ShowMessage(HWND, const char* text, const char* caption, UINT type)
{
    shownMessages.push_back({text ? text : "", caption ? caption : "", type});
    if (answers.empty())
        return IDOK;
    int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

std::string CMemoryWindowOperations::Outline() const
{
    std::string out;
    std::function<void(const std::vector<HTREEITEM>&, int)> walk =
        [&](const std::vector<HTREEITEM>& level, int depth) {
            for (HTREEITEM handle : level) {
                const Node& node = nodes.at(reinterpret_cast<size_t>(handle) - 1);
                out += std::string(depth * 2, ' ') + (node.checkState == checkChecked ? "[x] " : "[ ] ") +
                       node.text + "\n";
                walk(node.children, depth + 1);
            }
        };
    walk(topNodes, 0);
    return out;
}
