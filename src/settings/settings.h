#pragma once
#include <windows.h>

// "settings.cfg": the two paths and whether the catalogue message was shown.
class CSettings {
public:
    bool Load();
    bool Save();

    HWND pak0Edit = nullptr;
    HWND folderEdit = nullptr;
    bool showMessage = false;
};
