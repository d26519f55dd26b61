// The "STATIC_HYPER" window: what it paints, what a click asks of the shell,
// its cursor, and how it lets go of a destroyed window.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/application.h"
#include "ui/hyperlink.h"

namespace {

struct OpenRequest {
    HWND owner;
    std::string verb, target;
    bool noParameters, noFolder;
    int show;
};

std::vector<OpenRequest> openRequests;
INT_PTR openResult = 42;
int beeps = 0;

HINSTANCE WINAPI FakeOpen(HWND owner, LPCSTR verb, LPCSTR target, LPCSTR parameters, LPCSTR folder,
                          INT show)
{
    openRequests.push_back({owner, verb ? verb : "", target ? target : "", !parameters || !*parameters,
                            !folder || !*folder, show});
    return reinterpret_cast<HINSTANCE>(openResult);
}

BOOL WINAPI FakeBeep(UINT)
{
    ++beeps;
    return TRUE;
}

class HyperlinkTest : public testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, nullptr,
                                 nullptr);
        openRequests.clear();
        beeps = 0;
        realOpen = theHyperlinkClass.openTarget;
        realBeep = theHyperlinkClass.beep;
        theHyperlinkClass.openTarget = FakeOpen;
        theHyperlinkClass.beep = FakeBeep;
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        theHyperlinkClass.openTarget = realOpen;
        theHyperlinkClass.beep = realBeep;
    }

    HWND parent = nullptr;
    decltype(CHyperlinkClass::openTarget) realOpen = nullptr;
    decltype(CHyperlinkClass::beep) realBeep = nullptr;
    CHyperlink link;
};

// A 32-bit top-down picture of the link's client area as it paints itself.
class CPicture {
public:
    CPicture(int width, int height, COLORREF background) : width(width), height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        previous = SelectObject(dc, bitmap);
        for (int i = 0; i < width * height; ++i)
            bits[i] = RGB(GetBValue(background), GetGValue(background), GetRValue(background));
    }
    ~CPicture()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const
    {
        DWORD pixel = bits[y * width + x];
        return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
    }

    int width, height;
    HDC dc;

private:
    HBITMAP bitmap;
    HGDIOBJ previous;
    DWORD* bits = nullptr;
};

TEST_F(HyperlinkTest, PaintsItsTextCentredUnderlinedInLinkBlueWithoutBackground)
{
    // White, so that any smoothing of the glyph edges stays a shade of the link blue.
    const COLORREF background = RGB(255, 255, 255);
    ASSERT_TRUE(link.Create(10, 10, 250, 50, "http://tavrin.example.org/", parent));
    CPicture picture(240, 40, background);
    SendMessageA(link.window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.dc), PRF_CLIENT);
    GdiFlush();

    int left = picture.width, right = -1, top = picture.height, bottom = -1, pureBlue = 0, longestRun = 0;
    for (int y = 0; y < picture.height; ++y) {
        int run = 0;
        for (int x = 0; x < picture.width; ++x) {
            COLORREF pixel = picture.At(x, y);
            run = pixel == RGB(0, 0, 200) ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
            if (pixel == background)
                continue;
            ASSERT_TRUE(GetBValue(pixel) > GetRValue(pixel) &&
                        std::abs(GetRValue(pixel) - GetGValue(pixel)) <= 3)
                << "not link blue at " << x << "," << y;
            pureBlue += pixel == RGB(0, 0, 200);
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    ASSERT_GT(pureBlue, 0);
    EXPECT_EQ(background, picture.At(0, 0));
    EXPECT_EQ(background, picture.At(picture.width - 1, picture.height - 1));
    EXPECT_LE(std::abs(left - (picture.width - 1 - right)), 2) << left << ".." << right;
    EXPECT_LE(std::abs(top - (picture.height - 1 - bottom)), 3) << top << ".." << bottom;
    EXPECT_LE(bottom - top + 1, 16);  // the link font's 15-pixel cell
    EXPECT_GE(longestRun, (right - left + 1) * 9 / 10) << "no underline";
}

TEST_F(HyperlinkTest, LeftButtonPressOpensTheTargetAndBeepsOnlyOnFailure)
{
    struct Case {
        INT_PTR shellResult;
        int beeps;
    };
    const Case cases[] = {{42, 0}, {33, 0}, {32, 1}, {SE_ERR_NOASSOC, 1}, {0, 1}};
    ASSERT_TRUE(link.Create(0, 0, 100, 20, "mailto:team@tavrin.example.org", parent));
    for (const Case& row : cases) {
        SCOPED_TRACE(row.shellResult);
        openRequests.clear();
        beeps = 0;
        openResult = row.shellResult;
        EXPECT_EQ(1, SendMessageA(link.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)));
        ASSERT_EQ(1u, openRequests.size());
        EXPECT_EQ(nullptr, openRequests[0].owner);
        EXPECT_EQ("open", openRequests[0].verb);
        EXPECT_EQ("mailto:team@tavrin.example.org", openRequests[0].target);
        EXPECT_TRUE(openRequests[0].noParameters && openRequests[0].noFolder);
        EXPECT_EQ(SW_SHOWNORMAL, openRequests[0].show);
        EXPECT_EQ(row.beeps, beeps);
    }
    openRequests.clear();
    SendMessageA(link.window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(link.window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(openRequests.empty());
}

TEST_F(HyperlinkTest, TargetTheShellCannotOpenBeepsOnce)
{
    theHyperlinkClass.openTarget = realOpen;
    ASSERT_TRUE(link.Create(0, 0, 100, 20, "C:\\no such folder\\nothing.tavrin-unknown", parent));
    SendMessageA(link.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(1, beeps);
}

TEST_F(HyperlinkTest, ShowsTheHandCursor)
{
    ASSERT_NE(nullptr, handCursor);
    ASSERT_TRUE(link.Create(0, 0, 100, 20, "http://tavrin.example.org/", parent));
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(1, SendMessageA(link.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(link.window),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(handCursor, GetCursor());
}

TEST_F(HyperlinkTest, CreateWithoutTextKeepsTheTarget)
{
    ASSERT_TRUE(link.Create(0, 0, 100, 20, "http://tavrin.example.org/", parent));
    DestroyWindow(link.window);
    ASSERT_TRUE(link.Create(0, 20, 100, 40, nullptr, parent));
    EXPECT_EQ("http://tavrin.example.org/", link.url);
    char text[64] = "";
    GetWindowTextA(link.window, text, sizeof text);
    EXPECT_STREQ("http://tavrin.example.org/", text);
    RECT place;
    GetWindowRect(link.window, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(0, place.left);
    EXPECT_EQ(20, place.top);
    EXPECT_EQ(100, place.right);
    EXPECT_EQ(40, place.bottom);
}

TEST_F(HyperlinkTest, NoWindowWithoutParent)
{
    EXPECT_FALSE(link.Create(0, 0, 100, 20, "http://tavrin.example.org/", nullptr));
    EXPECT_EQ(nullptr, link.window);
}

// The parent takes the link window with it; the object must not keep the
// old handle, which a later window may be given.
TEST_F(HyperlinkTest, ForgetsItsWindowWhenTheParentGoes)
{
    ASSERT_TRUE(link.Create(0, 0, 100, 20, "http://tavrin.example.org/", parent));
    HWND old = link.window;
    DestroyWindow(parent);
    parent = nullptr;
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(nullptr, link.window);
}

}  // namespace
