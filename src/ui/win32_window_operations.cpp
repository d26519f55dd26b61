#include "ui/win32_window_operations.h"

#include <memory>

#include "core/application.h"

namespace {

// Once closing has begun the window thread no longer answers a worker, so
// every operation does nothing rather than wait for it.
bool Closing()
{
    return theApp.stopRequested;
}

// The control, or null once closing has begun.
HWND Live(HWND control)
{
    return Closing() ? nullptr : control;
}

HWND Tree()
{
    return Live(theApp.itemTree);
}

HTREEITEM TreeNextItem(HTREEITEM node, WPARAM relation)
{
    HWND tree = Tree();
    if (!tree)
        return nullptr;
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(node)));
}

void SetText(HWND control, const std::string& text)
{
    if (Live(control))
        SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A worker's batch of nodes travels to the window thread as one message.
// Each round trip between threads costs far more under Wine than inserting
// a node, and so does repainting the tree after every insertion.
struct TreeBatch {
    CWin32WindowOperations* operations;
    const std::vector<NewTreeNode>* nodes;
    std::vector<HTREEITEM>* handles;
};

// A worker's walk of the whole tree goes the same way, a batch of nodes a
// trip: short enough that the window answers in between.
constexpr size_t kNodesPerTrip = 200;

struct TreeRead {
    CWin32WindowOperations* operations;
    CWindowOperations::TreeWalk* walk;
    std::vector<TreeNodeState>* states;
    bool more;
};

constexpr UINT kInsertBatch = WM_APP + 0x54;
constexpr UINT kReadTree = WM_APP + 0x56;
constexpr UINT kShowText = WM_APP + 0x55;  // lParam: a std::string the control takes over

// The control's own procedure, kept in its user data: a window property
// would cost a trip to the server under Wine for every message the control
// gets, some 60 us, which made "Select all" on a large tree take seconds.
WNDPROC OriginalProcedure(HWND control)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_USERDATA));
}

void InsertBatch(TreeBatch& batch)
{
    batch.operations->HoldTreePainting();
    *batch.handles = batch.operations->CWindowOperations::InsertNodes(*batch.nodes);
    batch.operations->ResumeTreePainting();
}

LRESULT CALLBACK ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = OriginalProcedure(control);
    if (message == kInsertBatch) {
        InsertBatch(*reinterpret_cast<TreeBatch*>(lParam));
        return 0;
    }
    if (message == kReadTree) {
        TreeRead& read = *reinterpret_cast<TreeRead*>(lParam);
        read.more = read.operations->ReadNodes(*read.walk, kNodesPerTrip, *read.states);
        return 0;
    }
    if (message == kShowText) {
        std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(lParam));
        return CallWindowProcA(original, control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text->c_str()));
    }
    return CallWindowProcA(original, control, message, wParam, lParam);
}

// True for a control made to take them (AcceptWorkerMessages); any other is
// sent nothing of ours.
bool TakesWorkerMessages(HWND control)
{
    return GetWindowLongPtrA(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ControlProcedure);
}

bool OnWindowThread(HWND control)
{
    return GetWindowThreadProcessId(control, nullptr) == GetCurrentThreadId();
}

// A worker's change of a text is posted, so that the worker does not wait
// for the window thread; false when it could not be.
bool PostText(HWND control, const std::string& text)
{
    if (!TakesWorkerMessages(control))
        return false;
    std::unique_ptr<std::string> copy(new std::string(text));
    if (!PostMessageA(control, kShowText, 0, reinterpret_cast<LPARAM>(copy.get())))
        return false;
    copy.release();
    return true;
}

}  // namespace

bool AcceptWorkerMessages(HWND control)
{
    if (TakesWorkerMessages(control))
        return true;
    LONG_PTR original = GetWindowLongPtrA(control, GWLP_WNDPROC);
    if (!original)
        return false;
    SetWindowLongPtrA(control, GWLP_USERDATA, original);
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProcedure));
    return true;
}

void CWin32WindowOperations::SetStatus(const std::string& text)
{
    Clock::time_point now = Clock::now();
    if (status.Admit(text, now))
        ShowStatus(text, now);
}

// The status line and the bars change often during a run: a worker posts
// their changes rather than wait for each one to be carried out.
void CWin32WindowOperations::ShowStatus(const std::string& text, Clock::time_point now)
{
    HWND label = Live(theApp.statusLabel);
    if (!label)
        return;
    if (OnWindowThread(label) || !PostText(label, text))
        SetText(label, text);
    status.Shown(text, now);
}

void CWin32WindowOperations::ShowProgress(HWND bar, CPacedControl<unsigned>& paced, unsigned percent,
                                          Clock::time_point now)
{
    if (!Live(bar))
        return;
    if (OnWindowThread(bar) || !PostMessageA(bar, PBM_SETPOS, percent, 0))
        SendMessageA(bar, PBM_SETPOS, percent, 0);
    paced.Shown(percent, now);
}

void CWin32WindowOperations::ShowHeldChanges()
{
    Clock::time_point now = Clock::now();
    std::string text;
    if (status.TakeHeld(text))
        ShowStatus(text, now);
    unsigned percent;
    if (itemBar.TakeHeld(percent))
        ShowProgress(theApp.itemProgressBar, itemBar, percent, now);
    if (overallBar.TakeHeld(percent))
        ShowProgress(theApp.overallProgressBar, overallBar, percent, now);
}

void CWin32WindowOperations::SetTitle(const std::string& text)
{
    ShowHeldChanges();
    SetText(theApp.mainWindow, text);
}

void CWin32WindowOperations::SetInfoTexts(const std::string& title, const std::string& body)
{
    ShowHeldChanges();
    SetText(theApp.infoTitleLabel, title);
    SetText(theApp.infoTextLabel, body);
}

void CWin32WindowOperations::EnableAll(BOOL enable)
{
    if (Closing())
        return;
    ShowHeldChanges();
    HWND controls[] = {
        theApp.itemTree, theApp.installButton, theApp.aboutButton, theApp.folderButton,
        theApp.pak0Button, theApp.selectAllButton, theApp.selectNoneButton,
        theApp.punkBusterButton, theApp.pak0Edit, theApp.folderEdit, theApp.cpmaButton,
        theApp.defragButton, theApp.superHudButton, theApp.gameScannerButton,
        theApp.readmeButton, theApp.shortcutsButton,
    };
    for (HWND control : controls)
        if (control)
            EnableWindow(control, enable);
}

void CWin32WindowOperations::DisableControls() { EnableAll(FALSE); }
void CWin32WindowOperations::EnableControls() { EnableAll(TRUE); }

std::string CWin32WindowOperations::GetEditText(HWND edit)
{
    char buffer[260] = "";
    if (Live(edit))
        GetWindowTextA(edit, buffer, sizeof buffer);
    return buffer;
}

void CWin32WindowOperations::SetEditText(HWND edit, const std::string& text)
{
    if (Live(edit))
        SetWindowTextA(edit, text.c_str());
}

void CWin32WindowOperations::SetItemProgress(unsigned percent)
{
    Clock::time_point now = Clock::now();
    if (itemBar.Admit(percent, now))
        ShowProgress(theApp.itemProgressBar, itemBar, percent, now);
}

void CWin32WindowOperations::SetOverallProgress(unsigned percent)
{
    Clock::time_point now = Clock::now();
    if (overallBar.Admit(percent, now))
        ShowProgress(theApp.overallProgressBar, overallBar, percent, now);
}

unsigned CWin32WindowOperations::OverallProgress()
{
    ShowHeldChanges();
    // A posted change may still wait in the window's queue; the bar shows
    // what it was last given, within its range of 0 to 100.
    unsigned percent;
    if (overallBar.Latest(percent))
        return percent < 100 ? percent : 100;
    if (!Live(theApp.overallProgressBar))
        return 0;
    return static_cast<unsigned>(SendMessageA(Live(theApp.overallProgressBar), PBM_GETPOS, 0, 0));
}

HTREEITEM CWin32WindowOperations::InsertNode(HTREEITEM parent, const std::string& text)
{
    ShowHeldChanges();
    if (!Tree())
        return nullptr;
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.cchTextMax = static_cast<int>(text.size());
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(Tree(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

std::vector<HTREEITEM> CWin32WindowOperations::InsertNodes(const std::vector<NewTreeNode>& nodes)
{
    ShowHeldChanges();
    std::vector<HTREEITEM> handles(nodes.size(), nullptr);
    if (!Tree() || nodes.empty())
        return handles;
    TreeBatch batch = {this, &nodes, &handles};
    if (OnWindowThread(Tree()))
        InsertBatch(batch);
    else if (TakesWorkerMessages(Tree()))
        SendMessageA(Tree(), kInsertBatch, 0, reinterpret_cast<LPARAM>(&batch));
    else
        handles = CWindowOperations::InsertNodes(nodes);
    return handles;
}

std::vector<TreeNodeState> CWin32WindowOperations::ReadAllNodes()
{
    if (!Tree() || OnWindowThread(Tree()) || !TakesWorkerMessages(Tree()))
        return CWindowOperations::ReadAllNodes();
    std::vector<TreeNodeState> states;
    TreeWalk walk;
    TreeRead read = {this, &walk, &states, false};
    // A trip that is not carried out leaves `more` false.
    do {
        read.more = false;
        SendMessageA(Tree(), kReadTree, 0, reinterpret_cast<LPARAM>(&read));
    } while (read.more && Tree());
    return states;
}

void CWin32WindowOperations::DeleteAllNodes()
{
    ShowHeldChanges();
    if (Tree())
        SendMessageA(Tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

HTREEITEM CWin32WindowOperations::FirstTopNode() { return TreeNextItem(nullptr, TVGN_ROOT); }
HTREEITEM CWin32WindowOperations::FirstChild(HTREEITEM node) { return TreeNextItem(node, TVGN_CHILD); }
HTREEITEM CWin32WindowOperations::NextSibling(HTREEITEM node) { return TreeNextItem(node, TVGN_NEXT); }
HTREEITEM CWin32WindowOperations::SelectedNode() { return TreeNextItem(nullptr, TVGN_CARET); }

std::string CWin32WindowOperations::NodeText(HTREEITEM node)
{
    char buffer[50] = "";
    if (!Tree())
        return buffer;
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

CheckMark CWin32WindowOperations::CheckState(HTREEITEM node)
{
    if (!Tree())
        return CheckMark{};
    LRESULT state = SendMessageA(Tree(), TVM_GETITEMSTATE,
                                 reinterpret_cast<WPARAM>(node), TVIS_STATEIMAGEMASK);
    return static_cast<CheckMark>((state & TVIS_STATEIMAGEMASK) >> 12);
}

void CWin32WindowOperations::SetCheckState(HTREEITEM node, CheckMark state)
{
    ShowHeldChanges();
    if (!Tree())
        return;
    TVITEMA item = {};
    item.mask = TVIF_STATE;
    item.hItem = node;
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(state);
    SendMessageA(Tree(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void CWin32WindowOperations::SelectNode(HTREEITEM node)
{
    if (Tree())
        SendMessageA(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

void CWin32WindowOperations::CollapseNode(HTREEITEM node)
{
    if (Tree())
        SendMessageA(Tree(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node));
}

void CWin32WindowOperations::ExpandNode(HTREEITEM node)
{
    if (Tree())
        SendMessageA(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
}

// The tree control takes WM_SETREDRAW for itself and stays visible; under
// Wine a changed box of a node in view then costs some 7 ms on a tree of
// 2000 nodes. The window's own WM_SETREDRAW marks it hidden as well, and the
// change is a moment's work.
void CWin32WindowOperations::HoldTreePainting()
{
    if (!Tree())
        return;
    SendMessageA(Tree(), WM_SETREDRAW, FALSE, 0);
    DefWindowProcA(Tree(), WM_SETREDRAW, FALSE, 0);
}

void CWin32WindowOperations::ResumeTreePainting()
{
    if (!Tree())
        return;
    DefWindowProcA(Tree(), WM_SETREDRAW, TRUE, 0);
    SendMessageA(Tree(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Tree(), nullptr, TRUE);
}

int CWin32WindowOperations::ShowMessage(HWND owner, const char* text, const char* caption, UINT type)
{
    if (Closing())
        return IDCANCEL;
    ShowHeldChanges();
    return MessageBoxA(owner, text, caption, type);
}
