#pragma once

// Starts the installation folder's PunkBuster updater.
void UpdatePunkBuster();
