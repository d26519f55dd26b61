#pragma once

// Desktop shortcuts for the four add-on programs of the installation folder.
void CreateCpmaShortcut();
void CreateDefragShortcut();
void CreateSuperHudShortcut();
void CreateGameScannerShortcut();
void CreateAllShortcuts();
