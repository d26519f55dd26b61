#pragma once

// Runs the main thread's loop until the quit message; returns its code.
int RunMessageLoop();
