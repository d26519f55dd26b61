#pragma once
#include <string>

// Desktop shortcuts for the four add-on programs of the installation folder
// `folder`. Each command logs, and makes its link only when the program is there.
void CreateCpmaShortcut(const std::string& folder);
void CreateDefragShortcut(const std::string& folder);
void CreateSuperHudShortcut(const std::string& folder);
void CreateGameScannerShortcut(const std::string& folder);
void CreateAllShortcuts(const std::string& folder);

// Writes Desktop folder + linkName as a shell link to target, starting in the
// target's folder. False when the Desktop folder is unknown or the link could
// not be written.
bool CreateShortcut(const std::string& target, const std::string& linkName, const std::string& icon);
