#pragma once
#include <string>
#include <windows.h>

// Starts the PunkBuster updater of the installation folder `folder`.
void UpdatePunkBuster(const std::string& folder, HWND owner);
