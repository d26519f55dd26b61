#include "ui/win32_window_operations.h"

#include <memory>
#include <shobjidl.h>

#include "core/application.h"
#include "core/com_initialization.h"

namespace {

// The snapshot's timer on the main window; its id is the operations object.
constexpr UINT kShowIntervalMs = 16;

void SetText(HWND control, const std::string& text)
{
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool OnWindowThread(HWND control)
{
    return GetWindowThreadProcessId(control, nullptr) == GetCurrentThreadId();
}

void CALLBACK ShowOnTimer(HWND, UINT, UINT_PTR operations, DWORD)
{
    reinterpret_cast<CWin32WindowOperations*>(operations)->ShowSnapshot();
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
    return CallWindowProcA(original, control, message, wParam, lParam);
}

// True for a control made to take them (AcceptWorkerMessages); any other is
// sent nothing of ours.
bool TakesWorkerMessages(HWND control)
{
    return GetWindowLongPtrA(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ControlProcedure);
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

void CWin32WindowOperations::Changed()
{
    // The thread's number, not the window's: asking a window costs a trip
    // to the server under Wine, and this runs for every block received.
    DWORD windowThread = app.mainThreadId;
    if (!windowThread && app.mainWindow)
        windowThread = GetWindowThreadProcessId(app.mainWindow, nullptr);
    if (windowThread == GetCurrentThreadId())
        ShowSnapshot();
}

void CWin32WindowOperations::SetStatus(const std::string& text)
{
    snapshot.SetStatus(text);
    Changed();
}

void CWin32WindowOperations::SetItemProgress(unsigned percent)
{
    snapshot.SetItemBar(percent);
    Changed();
}

void CWin32WindowOperations::SetOverallProgress(unsigned percent)
{
    snapshot.SetOverallBar(percent);
    Changed();
}

void CWin32WindowOperations::SetInfoTexts(const std::string& title, const std::string& body)
{
    snapshot.SetInfoTexts(title, body);
    Changed();
}

unsigned CWin32WindowOperations::OverallProgress()
{
    // The bar shows what it was last given, within its range of 0 to 100.
    unsigned percent = snapshot.OverallBar();
    return percent < 100 ? percent : 100;
}

void CWin32WindowOperations::SetTaskbarProgress(TaskbarProgress state, unsigned percent)
{
    snapshot.SetTaskbar(state, percent);
    Changed();
}

void CWin32WindowOperations::ShowOnTaskbar(TaskbarProgress state, unsigned percent)
{
    if (!taskbarTried) {
        taskbarTried = true;
        InitializeComOnThisThread();
        ITaskbarList3* list = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                       reinterpret_cast<void**>(&list)))) {
            if (SUCCEEDED(list->HrInit()))
                taskbar = list;
            else
                list->Release();
        }
    }
    if (!taskbar || !app.mainWindow)
        return;
    TBPFLAG flag = state == TaskbarProgress::none ? TBPF_NOPROGRESS
                   : state == TaskbarProgress::error ? TBPF_ERROR
                                                     : TBPF_NORMAL;
    taskbar->SetProgressState(app.mainWindow, flag);
    if (state != TaskbarProgress::none)
        taskbar->SetProgressValue(app.mainWindow, percent, 100);
}

void CWin32WindowOperations::ShowSnapshot()
{
    CWindowSnapshot::Values latest = shown;
    unsigned changed = snapshot.TakeChanges(latest);
    // Only what differs from what the control shows: a worker repeats the
    // status line with every block it receives.
    bool all = shownFor != app.statusLabel;
    shownFor = app.statusLabel;
    if ((changed & CWindowSnapshot::statusChanged) && (all || latest.status != shown.status))
        SetText(app.statusLabel, latest.status);
    if ((changed & CWindowSnapshot::itemBarChanged) && (all || latest.itemBar != shown.itemBar))
        SendMessageA(app.itemProgressBar, PBM_SETPOS, latest.itemBar, 0);
    if ((changed & CWindowSnapshot::overallBarChanged) && (all || latest.overallBar != shown.overallBar))
        SendMessageA(app.overallProgressBar, PBM_SETPOS, latest.overallBar, 0);
    if ((changed & CWindowSnapshot::taskbarChanged) &&
        (all || latest.taskbarState != shown.taskbarState || latest.taskbarPercent != shown.taskbarPercent))
        ShowOnTaskbar(latest.taskbarState, latest.taskbarPercent);
    if (changed & CWindowSnapshot::infoChanged) {
        if (all || latest.infoTitle != shown.infoTitle)
            SetText(app.infoTitleLabel, latest.infoTitle);
        if (all || latest.infoBody != shown.infoBody)
            SetText(app.infoTextLabel, latest.infoBody);
    }
    shown = latest;
}

void CWin32WindowOperations::BeginShowingWorker()
{
    if (showing++ == 0)
        SetTimer(app.mainWindow, reinterpret_cast<UINT_PTR>(this), kShowIntervalMs, ShowOnTimer);
}

void CWin32WindowOperations::EndShowingWorker()
{
    if (showing > 0 && --showing == 0)
        KillTimer(app.mainWindow, reinterpret_cast<UINT_PTR>(this));
    ShowSnapshot();
}

// Sent, not shown from the snapshot: the next instance looks for the
// window by its title as soon as it starts.
void CWin32WindowOperations::SetTitle(const std::string& text)
{
    SetText(app.mainWindow, text);
}

void CWin32WindowOperations::EnableAll(BOOL enable)
{
    HWND controls[] = {
        app.itemTree, app.installButton, app.aboutButton, app.folderButton,
        app.pak0Button, app.selectAllButton, app.selectNoneButton,
        app.punkBusterButton, app.pak0Edit, app.folderEdit, app.cpmaButton,
        app.defragButton, app.superHudButton, app.gameScannerButton,
        app.readmeButton, app.shortcutsButton,
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
    if (edit)
        GetWindowTextA(edit, buffer, sizeof buffer);
    return buffer;
}

void CWin32WindowOperations::SetEditText(HWND edit, const std::string& text)
{
    if (edit)
        SetWindowTextA(edit, text.c_str());
}

HTREEITEM CWin32WindowOperations::InsertNode(HTREEITEM parent, const std::string& text)
{
    if (!app.itemTree)
        return nullptr;
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.cchTextMax = static_cast<int>(text.size());
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(app.itemTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

std::vector<HTREEITEM> CWin32WindowOperations::InsertNodes(const std::vector<NewTreeNode>& nodes)
{
    std::vector<HTREEITEM> handles(nodes.size(), nullptr);
    if (!app.itemTree || nodes.empty())
        return handles;
    TreeBatch batch = {this, &nodes, &handles};
    if (OnWindowThread(app.itemTree))
        InsertBatch(batch);
    else if (TakesWorkerMessages(app.itemTree))
        SendMessageA(app.itemTree, kInsertBatch, 0, reinterpret_cast<LPARAM>(&batch));
    else
        handles = CWindowOperations::InsertNodes(nodes);
    return handles;
}

std::vector<TreeNodeState> CWin32WindowOperations::ReadAllNodes()
{
    if (!app.itemTree || OnWindowThread(app.itemTree) || !TakesWorkerMessages(app.itemTree))
        return CWindowOperations::ReadAllNodes();
    std::vector<TreeNodeState> states;
    TreeWalk walk;
    TreeRead read = {this, &walk, &states, false};
    // A trip that is not carried out leaves `more` false.
    do {
        read.more = false;
        SendMessageA(app.itemTree, kReadTree, 0, reinterpret_cast<LPARAM>(&read));
    } while (read.more && app.itemTree);
    return states;
}

void CWin32WindowOperations::DeleteAllNodes()
{
    if (app.itemTree)
        SendMessageA(app.itemTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

HTREEITEM CWin32WindowOperations::TreeNextItem(HTREEITEM node, WPARAM relation)
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(app.itemTree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(node)));
}

HTREEITEM CWin32WindowOperations::FirstTopNode() { return TreeNextItem(nullptr, TVGN_ROOT); }
HTREEITEM CWin32WindowOperations::FirstChild(HTREEITEM node) { return TreeNextItem(node, TVGN_CHILD); }
HTREEITEM CWin32WindowOperations::NextSibling(HTREEITEM node) { return TreeNextItem(node, TVGN_NEXT); }
HTREEITEM CWin32WindowOperations::SelectedNode() { return TreeNextItem(nullptr, TVGN_CARET); }

std::string CWin32WindowOperations::NodeText(HTREEITEM node)
{
    char buffer[50] = "";
    if (!app.itemTree)
        return buffer;
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(app.itemTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

CheckMark CWin32WindowOperations::CheckState(HTREEITEM node)
{
    if (!app.itemTree)
        return CheckMark{};
    LRESULT state = SendMessageA(app.itemTree, TVM_GETITEMSTATE,
                                 reinterpret_cast<WPARAM>(node), TVIS_STATEIMAGEMASK);
    return static_cast<CheckMark>((state & TVIS_STATEIMAGEMASK) >> 12);
}

void CWin32WindowOperations::SetCheckState(HTREEITEM node, CheckMark state)
{
    if (!app.itemTree)
        return;
    TVITEMA item = {};
    item.mask = TVIF_STATE;
    item.hItem = node;
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(state);
    SendMessageA(app.itemTree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void CWin32WindowOperations::SelectNode(HTREEITEM node)
{
    if (app.itemTree)
        SendMessageA(app.itemTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

void CWin32WindowOperations::CollapseNode(HTREEITEM node)
{
    if (app.itemTree)
        SendMessageA(app.itemTree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node));
}

void CWin32WindowOperations::ExpandNode(HTREEITEM node)
{
    if (app.itemTree)
        SendMessageA(app.itemTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
}

// The tree control takes WM_SETREDRAW for itself and stays visible; under
// Wine a changed box of a node in view then costs some 7 ms on a tree of
// 2000 nodes. The window's own WM_SETREDRAW marks it hidden as well, and the
// change is a moment's work.
void CWin32WindowOperations::HoldTreePainting()
{
    if (!app.itemTree)
        return;
    SendMessageA(app.itemTree, WM_SETREDRAW, FALSE, 0);
    DefWindowProcA(app.itemTree, WM_SETREDRAW, FALSE, 0);
}

void CWin32WindowOperations::ResumeTreePainting()
{
    if (!app.itemTree)
        return;
    DefWindowProcA(app.itemTree, WM_SETREDRAW, TRUE, 0);
    SendMessageA(app.itemTree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(app.itemTree, nullptr, TRUE);
}

int CWin32WindowOperations::ShowMessage(HWND owner, const char* text, const char* caption, UINT type)
{
    if (stop)
        return IDCANCEL;
    return MessageBoxA(owner, text, caption, type);
}
