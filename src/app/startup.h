#pragma once

// Body of the start-up thread: fetch the catalogue, check the marked items,
// unlock the controls.
void RunStartup();
void StartThread(void (*body)());
