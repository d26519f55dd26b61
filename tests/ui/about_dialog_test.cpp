// The About dialog opened for real: a helper thread looks at it while the
// modal loop runs, then closes it the way a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "core/application.h"
#include "core/version.h"
#include "ui/about_dialog.h"

namespace {

struct Observed {
    bool found = false;
    std::string version;
    std::vector<int> controlIds;
    std::vector<HWND> linkWindows;  // children of class "STATIC_HYPER", in order
    std::vector<std::string> linkTexts;
    std::vector<RECT> linkPlaces;
    bool linksAreTheObjects = false;
    std::vector<LONG> nameWeights;
    std::vector<HANDLE> markers;
};

std::string TextOf(HWND window)
{
    char text[128] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

Observed Look(HWND dialog)
{
    Observed seen;
    seen.found = true;
    seen.version = TextOf(GetDlgItem(dialog, 202));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        if (std::string(className) != "STATIC_HYPER") {
            seen.controlIds.push_back(GetDlgCtrlID(child));
            continue;
        }
        seen.linkWindows.push_back(child);
        seen.linkTexts.push_back(TextOf(child));
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        seen.linkPlaces.push_back(place);
    }
    seen.linksAreTheObjects = seen.linkWindows.size() == 4;
    for (int i = 0; i < 4 && seen.linksAreTheObjects; ++i)
        seen.linksAreTheObjects = seen.linkWindows[i] == aboutLinks[i].window;
    for (int name : {205, 206, 208, 210}) {
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, name, WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        seen.nameWeights.push_back(font.lfWeight);
    }
    for (int marker : {401, 402, 403, 404})
        seen.markers.push_back(
            reinterpret_cast<HANDLE>(SendDlgItemMessageA(dialog, marker, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    return seen;
}

// Opens the dialog; another thread finds it once it shows, looks at it and
// posts `close`. A dialog that is never found or does not close is ended
// from here, so the test fails instead of waiting for ever: a fresh Wine
// prefix can take many seconds over its first dialog.
Observed OpenLookAndClose(void (*close)(HWND dialog))
{
    Observed seen;
    bool closed = false;
    std::thread user([&] {
        HWND dialog = nullptr;
        for (int tries = 0; tries < 1200 && !(dialog && IsWindowVisible(dialog)); ++tries, Sleep(50))
            dialog = FindWindowA(nullptr, "Tavrin 2");
        if (dialog && IsWindowVisible(dialog)) {
            seen = Look(dialog);
            close(dialog);
            for (int tries = 0; tries < 200 && IsWindow(dialog); ++tries)
                Sleep(50);
            closed = !IsWindow(dialog);
        }
        if (!closed && dialog)
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ShowAboutDialog(theApp.instance, theApp.mainWindow);
    user.join();
    EXPECT_TRUE(closed);
    return seen;
}

void PressOk(HWND dialog)
{
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

void PressKey(HWND dialog, WPARAM key)
{
    PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, key, 0);
    PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYUP, key, 0);
}

void PressEnter(HWND dialog)
{
    PressKey(dialog, VK_RETURN);
}

void PressEscape(HWND dialog)
{
    PressKey(dialog, VK_ESCAPE);
}

void PressCloseBox(HWND dialog)
{
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST(AboutDialogTest, EveryOpeningShowsTheSameFourLinksAndEveryWayOutCloses)
{
    theApp.instance = GetModuleHandleA(nullptr);
    const struct {
        const char* name;
        void (*close)(HWND);
    } closings[] = {{"Ok", PressOk}, {"Enter", PressEnter}, {"Escape", PressEscape},
                    {"close box", PressCloseBox}};
    const std::vector<int> templateOrder = {400, 201, 202, 203, 204, 205, 206, 401,
                                            402, 403, 404, IDOK, 207, 208, 209, 210};
    const RECT places[4] = {{125, 63, 250, 90}, {200, 148, 320, 165}, {172, 84, 290, 110},
                            {172, 108, 290, 126}};
    std::vector<std::string> firstTexts;

    for (const auto& closing : closings) {
        SCOPED_TRACE(closing.name);
        Observed seen = OpenLookAndClose(closing.close);

        ASSERT_TRUE(seen.found);
        EXPECT_EQ("v " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
                      std::to_string(kVersionRelease),
                  seen.version);
        EXPECT_EQ(templateOrder, seen.controlIds);
        ASSERT_EQ(4u, seen.linkWindows.size());
        EXPECT_TRUE(seen.linksAreTheObjects);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(places[i].left, seen.linkPlaces[i].left) << i;
            EXPECT_EQ(places[i].top, seen.linkPlaces[i].top) << i;
            EXPECT_EQ(places[i].right, seen.linkPlaces[i].right) << i;
            EXPECT_EQ(places[i].bottom, seen.linkPlaces[i].bottom) << i;
            EXPECT_EQ(aboutLinks[i].url, seen.linkTexts[i]) << i;
            EXPECT_FALSE(IsWindow(seen.linkWindows[i])) << "link " << i << " outlived the dialog";
            EXPECT_EQ(nullptr, aboutLinks[i].window) << i;
        }
        if (firstTexts.empty())
            firstTexts = seen.linkTexts;
        EXPECT_EQ(firstTexts, seen.linkTexts);
        EXPECT_EQ(std::vector<LONG>(4, FW_BOLD), seen.nameWeights);
        EXPECT_NE(nullptr, seen.markers[0]);
        EXPECT_EQ(std::vector<HANDLE>(4, seen.markers[0]), seen.markers);
    }
    EXPECT_EQ(0u, firstTexts.at(0).find("http://"));
    for (int i = 1; i < 4; ++i)
        EXPECT_NE(std::string::npos, firstTexts.at(i).find('@')) << i;
}

}  // namespace
