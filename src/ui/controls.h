#pragma once

// Creates every control of the main window and loads the settings into the
// two path boxes.
void CreateAllControls();
