#pragma once

// Starts the installation folder's PunkBuster updater.
void UpdatePunkBuster();
// Shows the catalogue's message, if it has one.
void ShowCatalogueMessage();
