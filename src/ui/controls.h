#pragma once

class CApplication;

// Creates every control of the application object's main window and loads
// the settings into the two path boxes.
void CreateAllControls(CApplication& app);
