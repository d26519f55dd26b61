#pragma once

// Starts COM (single-threaded apartment) on the calling thread the first
// time it is called there; it is uninitialised when the thread ends.
void InitializeComOnThisThread();
