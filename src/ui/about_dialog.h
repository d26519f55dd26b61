#pragma once

// The modal About dialog, owned by the main window.
void ShowAboutDialog();
