#pragma once

// Makes the folder of the program's own executable the current folder, so
// that relative paths resolve there; logs when it cannot.
void EnterProgramFolder();
