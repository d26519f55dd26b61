#pragma once

// Run while the main window is created: close an older running instance and
// take over the program's file name.
void StartupHandOver();
